#include "settings/SettingsNumericEdit.h"

#include <algorithm>
#include <utility>

#include "store/SettingsStore.h"
#include "store/StoreKeys.h"

namespace pelmora {

namespace {

int digitValue(char c, int base) {
  int digit = -1;
  if (c >= '0' && c <= '9') {
    digit = c - '0';
  } else if (c >= 'a' && c <= 'f') {
    digit = c - 'a' + 10;
  } else if (c >= 'A' && c <= 'F') {
    digit = c - 'A' + 10;
  }
  return digit < base ? digit : -1;
}

// The dialog's conversion, or without its leading blanks and hexadecimal forms (lenient false).
std::optional<std::int32_t> parseInteger(std::string_view text, bool lenient) {
  std::size_t i = 0;
  if (lenient) {
    while (i < text.size() && text[i] == ' ') ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::string_view rest = text.substr(i);
  int base = 10;
  if (lenient && !rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')) {
    base = 16;
    ++i;
  } else if (lenient && rest.size() > 1 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return std::nullopt;
  // The magnitude may reach 2^31 only for the most negative value.
  constexpr std::int64_t kLimit = std::int64_t{1} << 31;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = digitValue(text[i], base);
    if (digit < 0) return std::nullopt;
    magnitude = magnitude * base + digit;
    if (magnitude > kLimit) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > kLimit - 1) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::optional<std::int32_t> parseDialogInteger(std::string_view text) {
  return parseInteger(text, true);
}

std::optional<std::int32_t> parseDecimalInteger(std::string_view text) {
  return parseInteger(text, false);
}

std::string upDownText(std::int32_t position) {
  return std::to_string(position);
}

NumericEdit::NumericEdit(SettingsStore& store, IntegerOption stored, UpDownRange range,
                         ValidEntry entry, int maxLength, std::int32_t& lastValidated)
    : NumericEdit(
          [&store, stored] {
            auto program = openKey(store, kProgramKey);
            const std::int32_t value = read(*program, stored);
            program->CloseKey();
            return value;
          },
          range, entry, maxLength, lastValidated) {}

NumericEdit::NumericEdit(StoredValue stored, UpDownRange range, ValidEntry entry, int maxLength,
                         std::int32_t& lastValidated, IntegerSyntax syntax)
    : m_stored(std::move(stored)),
      m_range(range),
      m_entry(entry),
      m_maxLength(maxLength),
      m_lastValidated(lastValidated),
      m_syntax(syntax) {}

EditResult NumericEdit::change(const std::string& text) {
  m_beep = false;
  m_moveEdge.reset();
  validate(text);
  return result();
}

EditResult NumericEdit::step(int delta) {
  m_beep = false;
  m_moveEdge.reset();
  std::int64_t from = m_position;
  const auto shown = parse(m_text);
  if (shown && *shown >= m_range.minimum && *shown <= m_range.maximum) from = *shown;
  setPosition(from + delta);
  return result();
}

std::int32_t NumericEdit::value() const {
  return parse(m_text).value_or(0);
}

std::optional<std::int32_t> NumericEdit::parse(std::string_view text) const {
  return m_syntax == IntegerSyntax::Decimal ? parseDecimalInteger(text) : parseDialogInteger(text);
}

std::optional<std::int32_t> NumericEdit::acceptable(std::string_view text) const {
  auto number = parse(text);
  if (number && *number < 0 && m_entry == ValidEntry::RecordsOnlyNotNegative) number.reset();
  return number;
}

void NumericEdit::validate(const std::string& text) {
  m_text = text;
  if (const auto number = acceptable(text)) {
    m_lastValidated = *number;
    m_held = true;
    if (m_entry == ValidEntry::RecordsOnly || m_entry == ValidEntry::RecordsOnlyNotNegative) return;
    // Setting the position writes it back, which validates again before this run goes on: the
    // window therefore moves to the clamped value, not to the typed one.
    setPosition(*number);
    if (m_entry == ValidEntry::SetsPositionAndMovesEdge) m_moveEdge = m_lastValidated;
    return;
  }
  writeText(upDownText(m_stored()));
  m_beep = true;
}

void NumericEdit::setPosition(std::int64_t position) {
  m_position = static_cast<std::int32_t>(std::clamp<std::int64_t>(
      position, m_range.minimum, std::max(m_range.minimum, m_range.maximum)));
  writeText(upDownText(m_position));
}

void NumericEdit::writeText(const std::string& text) {
  if (text != m_text) validate(text);
}

EditResult NumericEdit::result() const {
  return {m_text, m_position, m_beep, m_moveEdge};
}

}  // namespace pelmora
