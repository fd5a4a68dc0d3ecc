#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "accounting/Tariffs.h"
#include "settings/SettingsNumericEdit.h"

namespace pelmora {

class MessageBoxes;
class SettingsStore;

// The 15 fields of the tariffs tab, in the order of the values of a weekday key.
enum class TariffField {
  MaxAH,
  MaxAM,
  MaxZH,
  MaxZM,
  MaxC,
  MidAH,
  MidAM,
  MidZH,
  MidZM,
  MidC,
  MinAH,
  MinAM,
  MinZH,
  MinZM,
  MinC
};
inline constexpr int kTariffFieldCount = 15;
inline constexpr int kWeekdayCount = 7;

// The tariffs tab without its widgets: the weekday list cbWeek, the 15 fields with their
// up-downs, and the buttons that save, copy, restore and test. Unlike the rest of the dialog,
// these write the store at once. The tab has unsaved edits exactly when saveEnabled() is true.
// Store errors (StoreError) are passed on to the caller; the operation stops where it happened.
class TariffEditor {
 public:
  // lastValidated: the dialog's shared most recently validated value (same int as NumericEdit's).
  TariffEditor(SettingsStore& store, MessageBoxes& boxes, std::int32_t& lastValidated);
  TariffEditor(const TariffEditor&) = delete;
  TariffEditor& operator=(const TariffEditor&) = delete;

  // A field's text changed (typed, or set by the program): EditResult as NumericEdit's (text
  // now, beep). Decimal digits with an optional sign only. Hours and minutes go through their
  // up-down (0..23, 0..59); a price is kept as typed, but a negative one is refused. A refused
  // text gives back the field's value stored for the selected day, with a beep. Either way the
  // field's text then passes, which enables save, restore and test.
  EditResult change(TariffField field, const std::string& text);
  // An arrow of the field's up-down (+1/-1), like NumericEdit::step.
  EditResult step(TariffField field, int delta);
  const std::string& text(TariffField field) const;
  int maxLength(TariffField field) const;         // 2 for hours/minutes, 6 for prices
  int selectedDay() const { return m_selected; }  // cbWeek's item index, 0 = Sunday

  // The user picked a day in cbWeek: the week change (may ask "Сохранить изменения?").
  void selectDay(int day);
  // The dialog is shown: today's weekday becomes the previously and newly selected day, the
  // no-prompt flag cleared, the week change runs.
  void show(int today);
  // FormHide: the week change without the question. Afterwards the question is asked again.
  void silentReload();
  void restore();        // bRestoreClick: silent reload, then restore disabled
  void saveThisDay();    // tSaveThisDayClick: DaySave
  void copyToAllDays();  // tCopyClick: copy flag, then DaySave (the "Ok!" box at its end)
  // DaySave, also the OK commit's last step: the fields into the selected day's key (or the
  // previous day's, when the week change asked), and with the copy flag into all seven days
  // at once.
  void daySave();

  // While the tester runs, tSaveThisDay and tTest are off whatever they were.
  bool saveEnabled() const { return m_saveEnabled && !m_testRunning; }  // tSaveThisDay
  bool restoreEnabled() const { return m_restoreEnabled; }              // bRestore
  bool testEnabled() const { return m_testEnabled && !m_testRunning; }  // tTest

  // The 15 values the fields hold now, for the tester.
  DayTariffs typed() const;

  // The tester running: fields, cbWeek, tSaveThisDay, tCopy, tTest disabled; at its end all
  // enabled again and tSaveThisDay enabled whatever it was.
  void testStarted();
  void testFinished();
  // Also the state of the fields, cbWeek and tCopy: disabled exactly while this is true.
  bool testRunning() const { return m_testRunning; }

  // The weekday names of cbWeek (index 0 = "ВОСКРЕСЕНИЕ"), "" for any other value, and the
  // genitive names for the question.
  static const char* dayName(int day);
  static const char* dayGenitive(int day);  // 1 "понедельника" ... 6 "субботы", else "воскресения"

 private:
  NumericEdit& edit(TariffField field);
  const NumericEdit& edit(TariffField field) const;
  void enableAfterEdit();
  void weekChange();
  void writeFields(int day);

  SettingsStore& m_store;
  MessageBoxes& m_boxes;
  std::vector<NumericEdit> m_fields;
  int m_selected = 0;  // cbWeek's item index
  int m_newDay = 0;
  int m_previousDay = 0;  // the day the fields show; unsaved edits belong to it
  bool m_noPrompt = false;
  bool m_saveToPrevious = false;
  bool m_copy = false;
  bool m_saveEnabled = false;
  bool m_restoreEnabled = false;
  bool m_testEnabled = false;
  bool m_testRunning = false;
};

}  // namespace pelmora
