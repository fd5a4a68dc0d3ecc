#include "settings/SettingsReset.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ProgramVersion.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "store/StoreProcedures.h"
#include "support/Doubles.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingMessageBoxes.h"

namespace pelmora {
namespace {

using testing::FixedScreen;
using testing::MemorySettingsStore;
using testing::RecordingMessageBoxes;
using testing::RecordingStarter;
using Value = MemorySettingsStore::Value;

// A balance with the locale's comma and bytes no amount parser would keep.
const std::string kBalance = "-12,5\xC2\xA0 ";

class SettingsResetTest : public ::testing::Test {
 protected:
  SettingsResetTest() {
    writeMissingDefaults(store, FixedScreen());
    ensureTariffWeek(store);
    countLaunch(store);
    store.set(kProgramKey, "Account", kBalance);
    store.set(kProgramKey, "Date", std::string("07.12.26"));
    store.set(kProgramKey, "NumberT", 12);
    store.set(kProgramKey, "CentsM", std::string("315,25"));
    store.set(kProgramKey, "SecondsD", 600);
    store.set(kProgramKey, "UpdatedW", 0);
    store.set(kRunKey, kProgramTitle, std::string("\"/opt/my apps/pelmora\""));
  }

  SettingsReset reset() {
    return {boxes,
            store,
            starter,
            "/opt/my apps/pelmora",
            [this] { events.push_back("detach, boxes " + std::to_string(boxes.shown.size())); },
            [this] { events.push_back("end, starts " + std::to_string(starter.started.size())); }};
  }

  MemorySettingsStore store;
  RecordingMessageBoxes boxes;
  RecordingStarter starter;
  std::vector<std::string> events;
};

TEST_F(SettingsResetTest, ConfirmedResetKeepsOnlyTheBalanceAndRestarts) {
  boxes.answers = {MessageAnswer::Yes};
  EXPECT_TRUE(reset().run());
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].title, "Вы уверены?");
  EXPECT_EQ(boxes.shown[0].text,
            "Вы уверены, что хотите сбросить все настройки и статистику\n"
            "и вернуться ко всем параметрам по умолчанию?");
  EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(boxes.shown[0].defaultAnswer, MessageAnswer::No);
  EXPECT_EQ(boxes.shown[1].title, "Ok!");
  EXPECT_EQ(boxes.shown[1].text,
            "Параметры по умолчанию вступят в силу после перезапуска программы.\n"
            "Нажмите \"OK\" чтобы перезапустить программу.");
  EXPECT_EQ(boxes.shown[1].icon, MessageIcon::Information);

  EXPECT_EQ(store.value(kProgramKey, "Account"), Value(kBalance));
  EXPECT_EQ(store.valueCount(kProgramKey), 1u);
  EXPECT_FALSE(store.hasKey(tariffKey(3)));
  EXPECT_TRUE(store.value(kRunKey, kProgramTitle));
  EXPECT_EQ(store.value(kApplicationsKey, kProgramTitle), Value(1));
  // The path is one argument, blanks and all; the program ends after the start.
  EXPECT_EQ(starter.started, std::vector<std::string>{"/opt/my apps/pelmora|/reboot"});
  EXPECT_EQ(events, (std::vector<std::string>{"detach, boxes 1", "end, starts 1"}));
}

TEST_F(SettingsResetTest, ResetNotConfirmedOrFailingChangesNothing) {
  MemorySettingsStore before = store;
  EXPECT_FALSE(reset().run());  // the default answer is No
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(store.valueCount(kProgramKey), before.valueCount(kProgramKey));
  EXPECT_TRUE(store.hasKey(tariffKey(3)));

  // A balance of the wrong type stops the reset before anything is deleted.
  store.set(kProgramKey, "Account", 5);
  boxes.answers = {MessageAnswer::Yes};
  EXPECT_THROW(reset().run(), StoreError);
  EXPECT_EQ(store.valueCount(kProgramKey), before.valueCount(kProgramKey));
  EXPECT_TRUE(store.hasKey(tariffKey(3)));
  EXPECT_TRUE(starter.started.empty());
  EXPECT_TRUE(events.empty());
}

TEST_F(SettingsResetTest, BalanceNeverWrittenStaysMissing) {
  store.erase(kProgramKey, "Account");
  boxes.answers = {MessageAnswer::Yes};
  EXPECT_TRUE(reset().run());
  EXPECT_EQ(store.valueCount(kProgramKey), 0u);
}

TEST_F(SettingsResetTest, ClearStatisticsZeroesTheCountersOnlyAfterYes) {
  MemorySettingsStore before = store;
  EXPECT_FALSE(clearStatistics(boxes, store));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, "Очистить статистику?");
  EXPECT_EQ(boxes.shown[0].text, "Вы уверены, что хотите очистить статистику соединений?");
  EXPECT_EQ(boxes.shown[0].defaultAnswer, MessageAnswer::No);
  EXPECT_EQ(store.value(kProgramKey, "NumberT"), Value(12));

  // All or none: a write refused midway leaves every counter as it was.
  store.refuseWritesOf("SecondsD");
  boxes.answers = {MessageAnswer::Yes};
  EXPECT_THROW(clearStatistics(boxes, store), StoreError);
  EXPECT_EQ(store.value(kProgramKey, "NumberT"), Value(12));
  EXPECT_EQ(store.value(kProgramKey, "CentsM"), Value(std::string("315,25")));

  store.refuseWritesOf("");
  boxes.answers = {MessageAnswer::Yes};
  EXPECT_TRUE(clearStatistics(boxes, store));
  for (const char* name : {"NumberD", "NumberW", "NumberM", "NumberT", "Seconds", "SecondsD",
                           "SecondsW", "SecondsM", "SecondsT"}) {
    EXPECT_EQ(store.value(kProgramKey, name), Value(0)) << name;
  }
  for (const char* name : {"Cents", "CentsD", "CentsW", "CentsM", "CentsT"}) {
    EXPECT_EQ(store.value(kProgramKey, name), Value(std::string("0"))) << name;
  }
  for (const char* name : {"Account", "Date", "UpdatedW", "UpdatedM", "MaxCents"}) {
    EXPECT_EQ(store.value(kProgramKey, name), before.value(kProgramKey, name)) << name;
  }
}

}  // namespace
}  // namespace pelmora
