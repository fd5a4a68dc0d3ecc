#include "settings/TariffEditor.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/TariffTester.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "store/StoreProcedures.h"
#include "support/Doubles.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingMessageBoxes.h"

namespace pelmora {
namespace {

using testing::MemorySettingsStore;
using testing::RecordingMessageBoxes;
using Value = MemorySettingsStore::Value;
using F = TariffField;

class TariffEditorTest : public ::testing::Test {
 protected:
  TariffEditorTest() {
    writeMissingDefaults(store, screen);
    ensureTariffWeek(store);
  }

  Value stored(int day, const char* name) const { return *store.value(tariffKey(day), name); }
  std::ptrdiff_t questions() const {
    return std::count_if(boxes.shown.begin(), boxes.shown.end(),
                         [](const auto& box) { return box.title == "Сохранить изменения?"; });
  }

  MemorySettingsStore store;
  testing::FixedScreen screen;
  RecordingMessageBoxes boxes;
  std::int32_t last = 0;
  TariffEditor editor{store, boxes, last};
};

TEST_F(TariffEditorTest, FieldsTakeDecimalNumbersAndGiveBackTheSelectedDaysValueOtherwise) {
  store.set(tariffKey(3), "MidAM", 15);
  store.set(tariffKey(3), "MaxC", 90);
  editor.show(3);
  EXPECT_EQ(editor.selectedDay(), 3);
  EXPECT_EQ(editor.text(F::MidAM), "15");
  EXPECT_EQ(editor.text(F::MaxC), "90");
  EXPECT_FALSE(editor.saveEnabled());
  EXPECT_FALSE(editor.restoreEnabled());
  EXPECT_TRUE(editor.testEnabled());
  EXPECT_EQ(editor.maxLength(F::MaxAH), 2);
  EXPECT_EQ(editor.maxLength(F::MinC), 6);

  EditResult r = editor.change(F::MaxAH, "99");
  EXPECT_EQ(r.text, "23");
  EXPECT_FALSE(r.beep);
  EXPECT_EQ(last, 23);
  EXPECT_TRUE(editor.saveEnabled() && editor.restoreEnabled());
  EXPECT_EQ(editor.change(F::MaxZM, "-5").text, "0");
  EXPECT_EQ(editor.change(F::MaxZM, "007").text, "7");

  // Blanks and the dialog's hexadecimal forms are refused here.
  for (const char* text : {"1a", "", " 7", "7 ", "$10", "0x1", "-"}) {
    r = editor.change(F::MidAM, text);
    EXPECT_EQ(r.text, "15") << text;
    EXPECT_TRUE(r.beep) << text;
  }
  // Prices stay as typed, up to six characters, but never negative.
  EXPECT_EQ(editor.change(F::MinC, "999999").text, "999999");
  EXPECT_EQ(editor.change(F::MinC, "+050").text, "+050");
  EXPECT_EQ(editor.typed().min.price, 50);
  for (const char* text : {"-1", "", "x"}) {
    r = editor.change(F::MinC, text);
    EXPECT_EQ(r.text, "20") << text;
    EXPECT_TRUE(r.beep) << text;
  }
  // The arrows step within 0..999 from the number in the field.
  EXPECT_EQ(editor.step(F::MaxC, +1).text, "91");
  editor.change(F::MaxC, "999");
  EXPECT_EQ(editor.step(F::MaxC, +1).text, "999");
  EXPECT_EQ(editor.step(F::MaxAH, -1).text, "22");

  // The value that comes back is read at that moment from the selected day's key.
  store.set(tariffKey(4), "MidAM", 45);
  boxes.answers = {MessageAnswer::No};
  editor.selectDay(4);
  store.set(tariffKey(4), "MidAM", 44);
  EXPECT_EQ(editor.change(F::MidAM, "?").text, "44");
  EXPECT_EQ(stored(3, "MaxAH"), Value(20));  // nothing written by the fields
}

TEST_F(TariffEditorTest, WeekChangeAsksAboutUnsavedEditsOfThePreviousDay) {
  editor.show(1);
  editor.selectDay(2);  // nothing edited: no question
  EXPECT_TRUE(boxes.shown.empty());

  editor.change(F::MaxC, "99");
  boxes.answers = {MessageAnswer::Yes};
  editor.selectDay(1);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Тарифы для вторника не были сохранены.\nСохранить их?");
  EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(stored(2, "MaxC"), Value(99));  // into the day the edits belonged to
  EXPECT_EQ(stored(1, "MaxC"), Value(75));
  EXPECT_EQ(editor.selectedDay(), 1);
  EXPECT_EQ(editor.text(F::MaxC), "75");
  EXPECT_FALSE(editor.saveEnabled());

  editor.change(F::MidC, "61");
  boxes.answers = {MessageAnswer::No};
  editor.selectDay(0);
  EXPECT_EQ(boxes.shown.back().text, "Тарифы для понедельника не были сохранены.\nСохранить их?");
  EXPECT_EQ(stored(1, "MidC"), Value(60));
  EXPECT_EQ(editor.selectedDay(), 0);

  editor.change(F::MidC, "62");
  boxes.answers = {MessageAnswer::No};
  editor.selectDay(6);
  EXPECT_EQ(boxes.shown.back().text, "Тарифы для воскресения не были сохранены.\nСохранить их?");
  EXPECT_EQ(stored(0, "MidC"), Value(60));
  EXPECT_EQ(TariffEditor::dayName(0), std::string("ВОСКРЕСЕНИЕ"));
  EXPECT_EQ(TariffEditor::dayGenitive(7), std::string("воскресения"));
}

TEST_F(TariffEditorTest, CopyRestoreAndHidingLeaveTheQuestionForLaterEdits) {
  editor.show(4);
  editor.change(F::MinC, "33");
  editor.change(F::MaxZM, "15");
  editor.copyToAllDays();
  for (int day = 0; day < 7; ++day) {
    EXPECT_EQ(stored(day, "MinC"), Value(33)) << day;
    EXPECT_EQ(stored(day, "MaxZM"), Value(15)) << day;
  }
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, "Ok!");
  EXPECT_EQ(boxes.shown[0].text, "Текущие значения тарифов были успешно скопированны.");
  EXPECT_EQ(editor.text(F::MinC), "33");
  EXPECT_FALSE(editor.saveEnabled());

  editor.change(F::MinC, "44");
  editor.restore();
  EXPECT_EQ(editor.text(F::MinC), "33");
  EXPECT_FALSE(editor.restoreEnabled());
  editor.change(F::MinC, "45");
  editor.silentReload();
  EXPECT_EQ(editor.text(F::MinC), "33");
  EXPECT_EQ(questions(), 0);
  editor.change(F::MinC, "46");
  editor.selectDay(5);
  EXPECT_EQ(questions(), 1);  // the question is back after both reloads

  // A refused write passes on, and the copy does not linger for the next save.
  editor.change(F::MinC, "47");
  store.refuseWrites(true);
  EXPECT_THROW(editor.copyToAllDays(), StoreError);
  store.refuseWrites(false);
  const std::size_t boxesBefore = boxes.shown.size();
  editor.saveThisDay();
  EXPECT_EQ(boxes.shown.size(), boxesBefore);
  EXPECT_EQ(stored(5, "MinC"), Value(47));
  EXPECT_EQ(stored(6, "MinC"), Value(33));
}

std::vector<TesterTick> runTester(TariffTester& tester, const DayTariffs& day) {
  std::vector<TesterTick> ticks;
  tester.start();
  while (tester.running() && ticks.size() < 2000) ticks.push_back(tester.tick(day));
  return ticks;
}

TEST_F(TariffEditorTest, TesterWalksTheDayOverTheTypedValues) {
  editor.show(2);
  editor.testStarted();
  EXPECT_TRUE(editor.testRunning());
  EXPECT_FALSE(editor.testEnabled() || editor.saveEnabled());
  TariffTester tester;
  std::vector<TesterTick> ticks = runTester(tester, editor.typed());
  editor.testFinished();
  EXPECT_TRUE(editor.saveEnabled() && editor.testEnabled());

  ASSERT_EQ(ticks.size(), 1440u);
  EXPECT_EQ(ticks.front().line, "0:0 = #1 {75}");
  EXPECT_EQ(ticks[2 * 60].line, "2:0 = #3 {20}");
  EXPECT_EQ(ticks[9 * 60 + 29].line, "9:29 = #3 {20}");
  EXPECT_EQ(ticks[9 * 60 + 30].line, "9:30 = #2 {60}");
  EXPECT_EQ(ticks[20 * 60].line, "20:0 = #1 {75}");
  EXPECT_EQ(ticks.back().line, "23:59 = #1 {75}");
  EXPECT_EQ(ticks[59].progress, 0);
  EXPECT_EQ(ticks[60].progress, 1);
  EXPECT_EQ(ticks[23 * 60].progress, 23);
  EXPECT_EQ(ticks.back().progress, 24);
  EXPECT_TRUE(ticks.back().finished);
  EXPECT_FALSE(ticks[1438].finished);
  EXPECT_FALSE(tester.red());
  EXPECT_EQ(TariffTester::endBox(false).icon, MessageIcon::Information);
  EXPECT_EQ(TariffTester::endBox(false).title, "Тест завершён успешно!");

  editor.change(F::MinAH, "3");
  ticks = runTester(tester, editor.typed());
  ASSERT_EQ(ticks.size(), 1440u);
  EXPECT_EQ(ticks[0].line, "0:0 = #1 {75}");  // the new run starts over
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    EXPECT_EQ(ticks[i].uncovered, i >= 2 * 60 && i < 3 * 60) << ticks[i].line;
  }
  EXPECT_EQ(ticks[2 * 60].line, "2:0 = -- {0}");
  EXPECT_EQ(ticks[2 * 60 + 59].line, "2:59 = -- {0}");
  EXPECT_EQ(ticks[3 * 60].line, "3:0 = #3 {20}");
  EXPECT_TRUE(tester.red());
  const MessageBoxRequest box = TariffTester::endBox(tester.red());
  EXPECT_EQ(box.title, "Ошибка в тарифах!");
  EXPECT_EQ(box.text, "Введённые тарифы содержат ошибки.");
  EXPECT_EQ(box.icon, MessageIcon::Error);
}

}  // namespace
}  // namespace pelmora
