// The road of one connection through the core: connect, metering, disconnect and settlement.
#include "app/ConnectionActions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "accounting/AccountingStore.h"
#include "accounting/Meter.h"
#include "accounting/Tariffs.h"
#include "app/FileSettlementLogs.h"
#include "platform/ProgramStarter.h"
#include "platform/SoundPlayer.h"
#include "store/AccountLog.h"
#include "store/ConnectionLog.h"
#include "store/DurationFile.h"
#include "support/TemporaryFolder.h"
#include "support/FakeClock.h"
#include "support/RecordingMessageBoxes.h"

namespace pelmora {
namespace {

using testing::fileContent;
using testing::integer;
using testing::text;

struct Recorder final : MeterDisplay, ConnectionWindow, SoundPlayer, ProgramStarter {
  std::vector<std::string> calls;

  void showDuration(const std::string& t) override { time = t; }
  void showCost(const std::string& t) override { cents = t; }
  void enableSwitch(bool on) override { calls.push_back(on ? "switch on" : "switch off"); }
  void enableSettings(bool on) override { calls.push_back(on ? "settings on" : "settings off"); }
  void showStatusWindow() override { calls.push_back("show"); }
  void setMetering(bool on) override { calls.push_back(on ? "meter on" : "meter off"); }
  void setFlashing(bool on) override { calls.push_back(on ? "flash on" : "flash off"); }
  void startHider() override { calls.push_back("hider"); }
  void refreshStatistics() override { calls.push_back("statistics"); }
  void play(const std::string& file) override { calls.push_back("play " + file); }
  bool start(const std::string&, const std::vector<std::string>&) override { return false; }
  bool startCommandLine(const std::string& line) override {
    calls.push_back("start " + line);
    return true;
  }

  std::string time;
  std::string cents;
};

class ConnectionActionsTest : public ::testing::Test {
 protected:
  ConnectionActionsTest()
      : log(folder / "Internet.LOG"),
        accountLog(folder / "Account.LOG"),
        durationFile(folder / "Duration.tmp"),
        settlement(log, accountLog),
        warning(boxes),
        meter(store, clock, recorder, warning, ','),
        actions(
            {store, clock, log, meter, settlement, durationFile, recorder, recorder, recorder}) {
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
    meter.setExtraSeconds(5);
    meter.setFreeSeconds(20);
  }

  // Connect at the clock's time, run `seconds` one-second ticks, disconnect.
  void connection(int seconds) {
    actions.connect();
    for (int i = 0; i < seconds; ++i) {
      clock.advance(1);
      meter.tick();
    }
    actions.disconnect();
  }

  testing::TemporaryFolder folder;
  testing::MemorySettingsStore store;
  testing::FakeClock clock;
  testing::RecordingMessageBoxes boxes;
  Recorder recorder;
  ConnectionLog log;
  AccountLog accountLog;
  DurationFile durationFile;
  FileSettlementLogs settlement;
  TariffWarning warning;
  Meter meter;
  ConnectionActions actions;
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
  std::ofstream(folder / "Duration.tmp") << "left by the protector";
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
  actions.connect();
  clock.set(2026, 12, 9, 0, 0, 10);
  actions.disconnect();  // ends before any tick
  EXPECT_EQ(integer(store, "Seconds"), 25);
  EXPECT_NE(fileContent(folder / "Internet.LOG").find("         = 00:00:25 + ["),
            std::string::npos);
}

TEST_F(ConnectionActionsTest, ASettlementErrorStillUnlocksAndForgetsTheConnection) {
  clock.set(2026, 12, 8, 10, 0, 0);
  store.set(kProgramKey, "CentsW", std::string("abc"));
  std::ofstream(folder / "Duration.tmp") << "left by the protector";
  actions.connect();
  clock.advance(60);
  EXPECT_ANY_THROW(actions.disconnect());
  EXPECT_EQ(recorder.calls.back(), "settings on");
  EXPECT_FALSE(std::filesystem::exists(folder / "Duration.tmp"));
  // What was settled before the error stays: the seconds were added, no amount was.
  EXPECT_EQ(integer(store, "Seconds"), 65);
  EXPECT_EQ(integer(store, "SecondsT"), 65);
  EXPECT_EQ(text(store, "CentsD"), "0");
  EXPECT_EQ(text(store, "CentsW"), "abc");
  EXPECT_EQ(integer(store, "NumberD"), 0);
}

}  // namespace
}  // namespace pelmora
