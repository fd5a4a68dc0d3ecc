// The road of one connection through the program core: connect, metering, disconnect and
// settlement.
#include "connection/ConnectionActions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "support/AccountingStore.h"
#include "connection/Meter.h"
#include "accounting/Tariffs.h"
#include "app/ProgramCore.h"
#include "platform/ProgramStarter.h"
#include "platform/SoundPlayer.h"
#include "store/AccountLog.h"
#include "store/ConnectionLog.h"
#include "store/DurationFile.h"
#include "store/StoreProcedures.h"
#include "support/Doubles.h"
#include "support/ProgramParts.h"
#include "support/RecordingStatusView.h"
#include "support/TemporaryFolder.h"
#include "support/FakeClock.h"
#include "support/RecordingMessageBoxes.h"

namespace pelmora {
namespace {

using testing::fileContent;
using testing::integer;
using testing::text;

// The window, the sound player and the program starter writing into one list, so that the
// order of the actions shows.
struct Recorder final : testing::RecordingStatusView, SoundPlayer, ProgramStarter {
  void play(const std::string& file) override { calls.push_back("play " + file); }
  bool start(const std::string&, const std::vector<std::string>&) override { return false; }
  bool startCommandLine(const std::string& line) override {
    calls.push_back("start " + line);
    return true;
  }
};

// The program's core as the entry point builds it, over a memory store and a scripted probe.
class ConnectionActionsTest : public ::testing::Test {
 protected:
  ConnectionActionsTest() {
    writeMissingDefaults(store, screen);  // SecondsPlus 5, Zero 20
    testing::seedStore(store);
    for (const char* flag :
         {"ShowOnConnect", "HideOnDisconnect", "PlayON", "PlayOFF", "StartON", "StartOFF"}) {
      store.set(kProgramKey, flag, 0);
    }
    store.set(kProgramKey, "SoundON", std::string("/sounds/on.oga"));
    store.set(kProgramKey, "SoundOFF", std::string("/sounds/off.oga"));
    store.set(kProgramKey, "AppON", std::string("\"/opt/my browser/run\" --new-window x"));
    store.set(kProgramKey, "AppOFF", std::string("/usr/bin/notify-send bye"));
    store.set(kProgramKey, "Account", std::string("100"));
    core.attach(recorder);
    core.applySettings();
    core.setMonitoring(true);
  }

  // Connect at the clock's time, run `seconds` one-second ticks, disconnect.
  void connection(int seconds) {
    probe.answer = 1;
    core.poll();
    for (int i = 0; i < seconds; ++i) {
      clock.advance(1);
      core.meterTick();
    }
    probe.answer = 0;
    core.poll();
  }

  testing::TemporaryFolder folder;
  testing::MemorySettingsStore store;
  testing::FakeClock clock;
  testing::ScriptedProbe probe;
  testing::FixedScreen screen;
  testing::RecordingMessageBoxes boxes;
  Recorder recorder;
  ProgramCore core{testing::coreServices({.clock = clock,
                                          .probe = probe,
                                          .boxes = boxes,
                                          .starter = recorder,
                                          .sound = recorder,
                                          .store = store,
                                          .screen = screen,
                                          .folder = folder.path(),
                                          .decimalSeparator = ','})};
};

TEST_F(ConnectionActionsTest, OneConnectionLeavesItsFourLinesCountersAndBalance) {
  clock.set(2026, 12, 8, 10, 0, 0);  // a Tuesday, MID price 60
  connection(100);

  EXPECT_EQ(fileContent(folder / "Internet.LOG"),
            "08.12.2026 10:00:00 - Connected\r\n"
            "08.12.2026 10:01:40 - DisConnected\r\n"
            "         = 00:01:45 + [1,75c]\r\n\r\n");
  EXPECT_EQ(integer(store, "Seconds"), 105);  // 100 s and the five extra seconds
  EXPECT_EQ(text(store, "Cents"), "1,75");
  EXPECT_EQ(text(store, "CentsT"), "1,75");
  EXPECT_EQ(integer(store, "SecondsD"), 105);
  for (const char* n : {"NumberD", "NumberW", "NumberM", "NumberT"})
    EXPECT_EQ(integer(store, n), 1);
  EXPECT_EQ(text(store, "Account"), "99,9824981689453");
  EXPECT_EQ(fileContent(folder / "Account.LOG"), "99,9824981689453\r\n");
  EXPECT_EQ(recorder.time, "00:01:45");
  EXPECT_EQ(recorder.cents, "1,75   ");
}

TEST_F(ConnectionActionsTest, ActionsRunInOrderAndReadTheirSettingsAtEachTransition) {
  clock.set(2026, 12, 8, 10, 0, 0);
  connection(3);
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{"switch off", "meter on", "settings off",
                                                      "flash on", "flash off", "switch on",
                                                      "meter off", "statistics", "settings on"}));
  EXPECT_FALSE(std::filesystem::exists(folder / "Duration.tmp"));

  // Changed between two connections: the next one follows the store, nothing is cached.
  for (const char* flag :
       {"ShowOnConnect", "HideOnDisconnect", "PlayON", "PlayOFF", "StartON", "StartOFF"}) {
    store.set(kProgramKey, flag, 1);
  }
  recorder.calls.clear();
  connection(3);
  EXPECT_EQ(recorder.calls,
            (std::vector<std::string>{
                "switch off", "show", "meter on", "settings off", "flash on", "play /sounds/on.oga",
                "start \"/opt/my browser/run\" --new-window x", "flash off", "switch on",
                "meter off", "statistics", "settings on", "play /sounds/off.oga",
                "start /usr/bin/notify-send bye", "hider"}));

  // Only exactly 1 switches an action on.
  for (const char* flag : {"ShowOnConnect", "PlayON", "StartOFF"}) store.set(kProgramKey, flag, 2);
  recorder.calls.clear();
  connection(1);
  EXPECT_EQ(std::count(recorder.calls.begin(), recorder.calls.end(), "show"), 0);
  EXPECT_EQ(std::count_if(recorder.calls.begin(), recorder.calls.end(),
                          [](const std::string& c) { return c.rfind("play /sounds/on", 0) == 0; }),
            0);
  for (const char* n : {"NumberD", "NumberW", "NumberM", "NumberT"})
    EXPECT_EQ(integer(store, n), 3);
}

TEST_F(ConnectionActionsTest, AConnectionAcrossMidnightLastsItsRealTime) {
  clock.set(2026, 12, 8, 23, 59, 50);
  probe.answer = 1;
  core.poll();
  clock.set(2026, 12, 9, 0, 0, 10);
  probe.answer = 0;
  core.poll();  // ends before any tick
  EXPECT_EQ(integer(store, "Seconds"), 25);
  EXPECT_NE(fileContent(folder / "Internet.LOG").find("         = 00:00:25 + ["),
            std::string::npos);
}

// A store error settles nothing: the connection stays in Duration.tmp with its final duration
// for the next start, the user is told, and the monitoring stops so that no later connection
// overwrites it.
TEST_F(ConnectionActionsTest, ASettlementErrorKeepsTheConnectionForTheNextStart) {
  clock.set(2026, 12, 8, 10, 0, 0);
  store.set(kProgramKey, "CentsW", std::string("abc"));
  probe.answer = 1;
  core.poll();
  clock.advance(60);
  probe.answer = 0;
  core.poll();
  EXPECT_EQ(recorder.calls.back(), "settings on");
  EXPECT_NE(std::find(recorder.calls.begin(), recorder.calls.end(), "monitoring off"),
            recorder.calls.end());
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_NE(boxes.shown[0].text.find("CentsW"), std::string::npos);
  EXPECT_NE(boxes.shown[0].text.find("при следующем запуске"), std::string::npos);
  EXPECT_EQ(fileContent(folder / "Duration.tmp"), "65 10 0 2 10 01 00\r\n08:12:2026");
  EXPECT_EQ(integer(store, "Seconds"), 0);
  EXPECT_EQ(integer(store, "SecondsT"), 0);
  EXPECT_EQ(text(store, "CentsW"), "abc");
  EXPECT_EQ(integer(store, "NumberD"), 0);
}

// A busy store puts the settlement off without holding anything up; the connections that ended
// meanwhile are settled in order once it is free, each once.
TEST_F(ConnectionActionsTest, ABusyStoreDelaysTheSettlement) {
  clock.set(2026, 12, 8, 10, 0, 0);
  store.beBusy(true);
  connection(100);
  EXPECT_NE(std::find(recorder.calls.begin(), recorder.calls.end(), "retry"), recorder.calls.end());
  EXPECT_EQ(fileContent(folder / "Duration.tmp"), "105 10 0 2 10 01 40\r\n08:12:2026");
  clock.advance(10);
  connection(20);  // the first one's crash file went to Waiting.tmp, the second has Duration.tmp
  core.retrySettlement();
  EXPECT_EQ(integer(store, "NumberT"), 0);
  EXPECT_EQ(fileContent(folder / "Waiting.tmp"), "105 10 0 2 10 01 40\r\n08:12:2026");
  EXPECT_EQ(fileContent(folder / "Duration.tmp"), "25 10 1 2 10 02 10\r\n08:12:2026");

  // A third connection metered meanwhile: its protector leaves the waiting ones' files alone and
  // their settlements leave its panels alone.
  probe.answer = 1;
  core.poll();
  clock.advance(2);
  core.meterTick();
  core.protectorTick();
  EXPECT_EQ(fileContent(folder / "Waiting.tmp"), "105 10 0 2 10 01 40\r\n08:12:2026");
  EXPECT_EQ(fileContent(folder / "Duration.tmp"), "25 10 1 2 10 02 10\r\n08:12:2026");

  store.beBusy(false);
  core.retrySettlement();
  EXPECT_EQ(recorder.time, "00:00:07");
  EXPECT_EQ(recorder.cents, "0   ");
  EXPECT_EQ(integer(store, "SecondsT"), 105 + 25);
  EXPECT_EQ(integer(store, "NumberT"), 2);
  EXPECT_FALSE(std::filesystem::exists(folder / "Duration.tmp"));
  const std::string logText = fileContent(folder / "Internet.LOG");
  EXPECT_NE(logText.find("         = 00:01:45 + [1,75c]\r\n\r\n"), std::string::npos);
  EXPECT_NE(logText.find("         = 00:00:25 + [0,416666c]\r\n\r\n"), std::string::npos);
}

// A third connection ending while the two before it still wait finds both crash files taken:
// it leaves them to their connections and waits without one until Waiting.tmp is free again.
TEST_F(ConnectionActionsTest, AThirdConnectionEndingBehindTwoWaitingOnesKeepsTheirCrashFiles) {
  clock.set(2026, 12, 8, 10, 0, 0);
  store.beBusy(true);
  connection(100);
  clock.advance(10);
  connection(20);
  connection(2);
  core.retrySettlement();
  EXPECT_EQ(integer(store, "NumberT"), 0);
  EXPECT_EQ(fileContent(folder / "Waiting.tmp"), "105 10 0 2 10 01 40\r\n08:12:2026");
  EXPECT_EQ(fileContent(folder / "Duration.tmp"), "25 10 1 2 10 02 10\r\n08:12:2026");

  store.beBusy(false);
  core.retrySettlement();
  EXPECT_EQ(integer(store, "SecondsT"), 105 + 25 + 7);
  EXPECT_EQ(integer(store, "NumberT"), 3);
  EXPECT_FALSE(std::filesystem::exists(folder / "Duration.tmp"));
  EXPECT_FALSE(std::filesystem::exists(folder / "Waiting.tmp"));
  const std::string logText = fileContent(folder / "Internet.LOG");
  const auto first = logText.find("         = 00:01:45 + [");
  const auto second = logText.find("         = 00:00:25 + [");
  const auto third = logText.find("         = 00:00:07 + [");
  EXPECT_LT(first, second);
  EXPECT_LT(second, third);
  EXPECT_NE(third, std::string::npos);
}

}  // namespace
}  // namespace pelmora
