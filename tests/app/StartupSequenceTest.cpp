// The start: store repair, files, counters and the crash recovery, in their order.
#include "app/StartupSequence.h"

#include <optional>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/AccountingStore.h"
#include "accounting/Tariffs.h"
#include "app/ProgramCore.h"
#include "store/AccountLog.h"
#include "store/ConnectionLog.h"
#include "store/StoreKeys.h"
#include "support/Doubles.h"
#include "support/ProgramParts.h"
#include "support/TemporaryFolder.h"
#include "support/FakeClock.h"
#include "support/RecordingMessageBoxes.h"

namespace pelmora {
namespace {

using testing::fileContent;
using testing::integer;
using testing::text;

// Every start is a new run of the program core over the same store and folder.
class StartupSequenceTest : public ::testing::Test {
 protected:
  StartupSequenceTest() { clock.set(2026, 12, 8, 9, 0, 0); }  // a Tuesday

  StartupResult start() {
    ProgramCore core(testing::coreServices({.clock = clock,
                                            .probe = probe,
                                            .boxes = boxes,
                                            .starter = starter,
                                            .sound = sound,
                                            .store = store,
                                            .screen = screen,
                                            .folder = folder.path(),
                                            .executable = "/opt/pelmora/pelmora",
                                            .decimalSeparator = ','}));
    bool busy = false;
    const std::optional<StartupResult> result = core.startUp(busy);
    EXPECT_TRUE(result.has_value());
    return result.value_or(StartupResult{});
  }

  testing::TemporaryFolder folder;
  testing::MemorySettingsStore store;
  testing::FixedScreen screen;
  testing::FakeClock clock;
  testing::ScriptedProbe probe;
  testing::RecordingStarter starter;
  testing::RecordingSound sound;
  testing::RecordingMessageBoxes boxes;
};

TEST_F(StartupSequenceTest, AFirstRunWritesEverythingAndShowsTheWindow) {
  const StartupResult result = start();
  EXPECT_TRUE(result.defaultsWritten);
  EXPECT_TRUE(result.tariffsIncomplete);
  EXPECT_TRUE(result.showWindow);  // although ShowOnStart is 0
  EXPECT_EQ(integer(store, "ShowOnStart"), 0);
  EXPECT_EQ(result.recovery, RecoveryOutcome::NothingFound);
  EXPECT_TRUE(boxes.shown.empty());

  // 42 defaults, the version stamp, the balance and the start date.
  EXPECT_EQ(store.valueCount(kProgramKey), 42u + 3u + 2u);
  EXPECT_EQ(integer(store, "XX"), 1280 - 105);
  EXPECT_EQ(integer(store, "YY"), 1024 - 85);
  EXPECT_EQ(integer(store, "VersionA"), 2);
  EXPECT_EQ(integer(store, "VersionZ"), 4);
  EXPECT_EQ(text(store, "Version"), "2.4");
  EXPECT_EQ(text(store, "Account"), "0");
  EXPECT_EQ(text(store, "Date"), "08.12.26");
  EXPECT_EQ(store.valueCount(tariffKey(3)), 15u);
  EXPECT_EQ(std::get<std::int32_t>(*store.value(kApplicationsKey, "Pelmora v2.4")), 1);
  EXPECT_EQ(store.valueCount(kRunKey), 0u);  // autostart stays off

  EXPECT_EQ(fileContent(folder / "Internet.LOG"), ConnectionLog::header());
  EXPECT_EQ(fileContent(folder / "Account.LOG"), "0\r\n");
}

TEST_F(StartupSequenceTest, ACompleteStoreGetsOnlyThePerStartValues) {
  start();
  store.set(kProgramKey, "Cents", std::string("12,5"));
  store.set(kProgramKey, "Seconds", 300);
  clock.advance(3600);

  StartupResult result = start();
  EXPECT_FALSE(result.defaultsWritten);
  EXPECT_FALSE(result.tariffsIncomplete);
  EXPECT_FALSE(result.showWindow);
  EXPECT_EQ(text(store, "Cents"), "0");
  EXPECT_EQ(integer(store, "Seconds"), 0);
  EXPECT_EQ(std::get<std::int32_t>(*store.value(kApplicationsKey, "Pelmora v2.4")), 2);

  store.set(kProgramKey, "ShowOnStart", 1);
  EXPECT_TRUE(start().showWindow);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(StartupSequenceTest, ACrashCutConnectionCountsOnTheDayOfTheStart) {
  start();
  store.set(kProgramKey, "SecondsD", 500);  // yesterday's
  store.set(kProgramKey, "NumberD", 4);
  store.set(kProgramKey, "Date", std::string("07.12.26"));
  store.set(kProgramKey, "Zero", 0);
  // Cut off on Monday evening after ten minutes, at the MAX price of 75 an hour.
  std::ofstream(folder / "Duration.tmp", std::ios::binary) << "600 23 50 1 00 00 00\r\n08:12:2026";
  boxes.answers = {MessageAnswer::Yes};

  const StartupResult result = start();
  EXPECT_EQ(result.recovery, RecoveryOutcome::Counted);
  EXPECT_EQ(integer(store, "SecondsD"), 600);  // reset for the new day first, then added
  EXPECT_EQ(integer(store, "NumberD"), 0);     // a recovered connection is not counted
  EXPECT_EQ(integer(store, "Seconds"), 600);
  EXPECT_EQ(text(store, "Cents"), "12,5");
  EXPECT_FALSE(std::filesystem::exists(folder / "Duration.tmp"));
}

TEST_F(StartupSequenceTest, ACrashCutConnectionWithinTheFreeSecondsCostsNothing) {
  start();
  store.set(kProgramKey, "Account", std::string("100"));
  AccountLog(folder / "Account.LOG").rewrite("100");
  std::ofstream(folder / "Duration.tmp", std::ios::binary) << "15 8 55 2 08 55 15\r\n08:12:2026";
  boxes.answers = {MessageAnswer::Yes};
  start();
  EXPECT_EQ(integer(store, "Seconds"), 15);
  EXPECT_EQ(text(store, "Cents"), "0");
  EXPECT_EQ(text(store, "Account"), "100");
}

}  // namespace
}  // namespace pelmora
