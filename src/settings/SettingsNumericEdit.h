#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "store/ProgramOptions.h"

namespace pelmora {

class SettingsStore;

// The dialog's conversion of an edit's text to an integer: leading blanks, one sign, then
// decimal digits or a hexadecimal number after "$", "x" or "0x", running to the end of the text.
// Nothing for an empty text, any other character (a trailing blank or a digit-group separator
// too) or a value outside the signed 32-bit range.
std::optional<std::int32_t> parseDialogInteger(std::string_view text);

// The stricter conversion of the tariff fields: one optional sign, then decimal digits running
// to the end of the text. No blanks, no hexadecimal; nothing outside the signed 32-bit range.
std::optional<std::int32_t> parseDecimalInteger(std::string_view text);

// Which of the two conversions an edit uses.
enum class IntegerSyntax {
  Dialog,   // parseDialogInteger
  Decimal,  // parseDecimalInteger
};

// How an up-down writes its position into its edit: plain decimal digits, never a thousands
// separator, so that an arrow past 999 gives a text the edit accepts.
std::string upDownText(std::int32_t position);

struct UpDownRange {
  std::int32_t minimum = 0;
  std::int32_t maximum = 0;
};

// What a valid entry does besides being recorded as the most recently validated value.
enum class ValidEntry {
  SetsPosition,              // the up-down takes it (clamped) and writes it back
  SetsPositionAndMovesEdge,  // the same, then the status window's edge moves to it
  RecordsOnly,               // nothing more: the up-down keeps its own position
  RecordsOnlyNotNegative,    // as RecordsOnly, but a negative number is refused like a non-integer
};

// What the edit holds after a change, and what else the change asks the window to do.
struct EditResult {
  std::string text;                      // the edit's text now
  std::int32_t position = 0;             // the up-down's position now
  bool beep = false;                     // the entry was refused: sound the short error beep
  std::optional<std::int32_t> moveEdge;  // move the status window's edge here
};

// A numeric edit with its up-down, and the validator that runs on every change of its text.
// Every numeric edit of the dialog shares one most recently validated value (lastValidated).
class NumericEdit {
 public:
  // Reads the value a refused entry is replaced by; StoreError when it cannot.
  using StoredValue = std::function<std::int32_t()>;

  // An edit of a value of the program key.
  NumericEdit(SettingsStore& store, IntegerOption stored, UpDownRange range, ValidEntry entry,
              int maxLength, std::int32_t& lastValidated);
  // An edit whose stored value is read by the function (each time an entry is refused).
  NumericEdit(StoredValue stored, UpDownRange range, ValidEntry entry, int maxLength,
              std::int32_t& lastValidated, IntegerSyntax syntax = IntegerSyntax::Dialog);

  // The text changed, typed or set by the program (the validator runs even when the program sets
  // the text it already holds): a valid integer is recorded and goes to the
  // up-down; anything else is replaced by the stored value (read now) with a beep. StoreError when
  // that value cannot be read; the edit keeps the refused text then.
  EditResult change(const std::string& text);
  // An arrow of the up-down (+1 or -1). Like the system's up-down, it steps from the number in
  // its edit when that is within the range, else from its own position; it never wraps.
  EditResult step(int delta);

  // Changes the up-down's range; neither the position nor the text follows.
  void setMaximum(std::int32_t maximum) { m_range.maximum = maximum; }

  const std::string& text() const { return m_text; }
  // The text as an integer; the validator keeps it convertible.
  std::int32_t value() const;
  // Whether the validator accepts the text now. Only a stored value that is itself refused (a
  // negative price, say) stays in the edit without being accepted.
  bool accepted() const { return acceptable(m_text).has_value(); }
  std::int32_t position() const { return m_position; }
  UpDownRange range() const { return m_range; }
  // The most characters the edit takes.
  int maxLength() const { return m_maxLength; }
  // Whether the edit holds a number it accepted (loaded, typed or stepped) since forget().
  bool held() const { return m_held; }
  // The value could not be loaded: the edit keeps its text but holds nothing to write.
  void forget() { m_held = false; }

 private:
  std::optional<std::int32_t> parse(std::string_view text) const;
  std::optional<std::int32_t> acceptable(std::string_view text) const;
  void validate(const std::string& text);
  void setPosition(std::int64_t position);
  void writeText(const std::string& text);
  EditResult result() const;

  StoredValue m_stored;
  UpDownRange m_range;
  ValidEntry m_entry;
  int m_maxLength;
  std::int32_t& m_lastValidated;
  IntegerSyntax m_syntax;
  std::string m_text = "0";
  std::int32_t m_position = 0;
  bool m_beep = false;
  bool m_held = false;
  std::optional<std::int32_t> m_moveEdge;
};

}  // namespace pelmora
