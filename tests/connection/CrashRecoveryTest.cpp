// A connection cut by a crash: saved by the protector tick, offered again at the next start.
#include "connection/CrashRecovery.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <optional>
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "support/AccountingStore.h"
#include "connection/Meter.h"
#include "app/ProgramCore.h"
#include "connection/ConnectionSettlement.h"
#include "store/AccountLog.h"
#include "store/ConnectionLog.h"
#include "store/DurationFile.h"
#include "store/StoreError.h"
#include "store/StoreProcedures.h"
#include "platform/Failpoint.h"
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

const std::string kHeader =
    "==================================\r\nPelmora connections log\r\n"
    "==================================\r\n";
const std::string kQuestion =
    "Во время прошлого соединения с Интернетом произошёл сбой,\nв результате которого, "
    "программа НЕ была закрыта логически.\nНесмотря на это, программа запомнила длительность "
    "последнего соединения.\nНажмите \"ДА\", чтобы его засчитать, или \"НЕТ\", чтобы "
    "проигнорировать.";

// One run of the program: its own core over the shared store and folder.
struct ProgramRun {
  ProgramRun(testing::MemorySettingsStore& store, testing::FakeClock& clock,
             const std::filesystem::path& folder)
      : core(testing::coreServices({.clock = clock,
                                    .probe = probe,
                                    .boxes = boxes,
                                    .starter = starter,
                                    .sound = sound,
                                    .store = store,
                                    .screen = screen,
                                    .folder = folder})) {
    core.attach(view);
  }
  testing::ScriptedProbe probe;
  testing::RecordingStarter starter;
  testing::RecordingSound sound;
  testing::FixedScreen screen;
  testing::RecordingMessageBoxes boxes;
  testing::RecordingStatusView view;
  ProgramCore core;
};

class CrashRecoveryTest : public ::testing::Test {
 protected:
  CrashRecoveryTest() {
    testing::FixedScreen screen;
    writeMissingDefaults(store, screen);
    testing::seedStore(store);
    store.set(kProgramKey, "Account", std::string("100"));
    // Sunday's evening price differs from Saturday's: the start weekday must decide.
    DayTariffs sunday = defaultDayTariffs();
    sunday.max.price = 99;
    testing::putDay(store, 0, sunday);
    log.createHeaderIfMissing();
  }

  // The Saturday connection: up at 23:55:00 on 14 March 2026, the last protector tick twelve
  // minutes later, at 00:07:00 on Sunday; then the crash.
  void crashSaturdayConnection() {
    ProgramRun before(store, clock, folder.path());
    meterSaturdayConnection(before);
    clock.set(2026, 3, 15, 9, 30, 0);  // the next start
  }

  // The Saturday connection metered by a run up to its last protector tick.
  void meterSaturdayConnection(ProgramRun& run) {
    clock.set(2026, 3, 14, 23, 55, 0);
    run.core.setMonitoring(true);
    run.probe.answer = 1;
    run.core.poll();
    for (int tick = 0; tick < 144; ++tick) {
      clock.advance(5);
      run.core.protectorTick();
    }
  }

  // The next start; nothing when it stopped at an error (shown in a box).
  std::optional<RecoveryOutcome> recover(ProgramRun& run) {
    bool busy = false;
    const std::optional<StartupResult> result = run.core.startUp(busy);
    if (!result) return std::nullopt;
    return result->recovery;
  }

  testing::TemporaryFolder folder;
  testing::MemorySettingsStore store;
  testing::FakeClock clock;
  ConnectionLog log{folder / "Internet.LOG"};
  AccountLog accountLog{folder / "Account.LOG"};
  DurationFile durationFile{folder / "Duration.tmp"};
};

TEST_F(CrashRecoveryTest, ProtectorTickWritesTheConnectionFromOneClockReading) {
  crashSaturdayConnection();
  EXPECT_EQ(fileContent(durationFile.path()), "720 23 55 6 00 07 00\r\n15:03:2026");
}

TEST_F(CrashRecoveryTest, SaturdayConnectionCountedOnYes) {
  crashSaturdayConnection();
  ProgramRun after(store, clock, folder.path());
  after.boxes.answers = {MessageAnswer::Yes};

  EXPECT_EQ(recover(after), RecoveryOutcome::Counted);

  ASSERT_EQ(after.boxes.shown.size(), 1u);
  EXPECT_EQ(after.boxes.shown[0].title, "Аварийное восстановление...");
  EXPECT_EQ(after.boxes.shown[0].text, kQuestion);
  EXPECT_EQ(after.boxes.shown[0].defaultAnswer, MessageAnswer::Yes);
  // 720 s at Saturday's evening price 75: 15 minor units, from 100 major units.
  EXPECT_EQ(fileContent(log.path()), kHeader +
                                         "14.03.2026 23:55:00 - Connected\r\n"
                                         "15:03:2026 00:07:00 - DisConnected\r\n"
                                         "         = 00:12:00 + [15c]\r\n\r\n");
  EXPECT_EQ(after.view.time, "00:12:00");
  EXPECT_EQ(text(store, "Cents"), "15");
  EXPECT_EQ(integer(store, "Seconds"), 720);
  EXPECT_EQ(integer(store, "SecondsD"), 720);
  EXPECT_EQ(text(store, "CentsT"), "15");
  EXPECT_EQ(text(store, "Account"), "99.8499984741211");
  EXPECT_EQ(fileContent(accountLog.path()), "99.8499984741211\r\n");
  EXPECT_EQ(integer(store, "NumberD"), 0);
  EXPECT_EQ(integer(store, "NumberT"), 0);
  EXPECT_FALSE(std::filesystem::exists(durationFile.path()));
}

TEST_F(CrashRecoveryTest, SaturdayConnectionIgnoredOnNo) {
  crashSaturdayConnection();
  ProgramRun after(store, clock, folder.path());
  after.boxes.answers = {MessageAnswer::No};

  EXPECT_EQ(recover(after), RecoveryOutcome::Ignored);

  EXPECT_EQ(fileContent(log.path()), kHeader +
                                         "14.03.2026 23:55:00 - Connected\r\n"
                                         "15:03:2026 00:07:00 - DisConnected\r\n"
                                         "         = 00:12:00 - \r\n\r\n");
  EXPECT_EQ(text(store, "Account"), "100");
  EXPECT_EQ(text(store, "CentsT"), "0");
  EXPECT_EQ(integer(store, "SecondsT"), 0);
  EXPECT_EQ(fileContent(accountLog.path()), "100\r\n");
  EXPECT_FALSE(std::filesystem::exists(durationFile.path()));
}

TEST_F(CrashRecoveryTest, NoFileIsTheNormalCase) {
  ProgramRun after(store, clock, folder.path());
  EXPECT_EQ(recover(after), RecoveryOutcome::NothingFound);
  EXPECT_TRUE(after.boxes.shown.empty());
  EXPECT_EQ(fileContent(log.path()), kHeader);

  // A crash before the first protector tick left the connect entry open: it is ended, so the
  // next connection's entry starts a line of its own; nothing else changes.
  log.appendConnect(LocalTime{});
  EXPECT_EQ(recover(after), RecoveryOutcome::NothingFound);
  EXPECT_EQ(recover(after), RecoveryOutcome::NothingFound);
  EXPECT_EQ(fileContent(log.path()), kHeader + "01.01.1970 00:00:00 - Connected\r\n");
}

TEST_F(CrashRecoveryTest, DamagedFileIsNeverCounted) {
  for (const std::string content :
       {"720 23 55 6 00 0", "720 23 55 6 00 07 00\r\n15:0", "720 23 55 9 00 07 00\r\n15:03:2026",
        "", "2147483647 23 55 6 00 07 00\r\n15:03:2026"}) {
    log.erase();
    log.appendConnect(LocalTime{});
    std::ofstream(durationFile.path(), std::ios::binary) << content;
    ProgramRun after(store, clock, folder.path());

    EXPECT_EQ(recover(after), RecoveryOutcome::Damaged) << content;

    ASSERT_EQ(after.boxes.shown.size(), 1u);
    EXPECT_EQ(after.boxes.shown[0].buttons, MessageButtons::Ok);
    EXPECT_NE(after.boxes.shown[0].text.find("не может быть прочитан"), std::string::npos);
    EXPECT_EQ(fileContent(log.path()), kHeader +
                                           "01.01.1970 00:00:00 - Connected\r\n"
                                           "         = --:--:-- - \r\n\r\n");
    EXPECT_EQ(text(store, "Account"), "100");
    EXPECT_EQ(integer(store, "SecondsT"), 0);
    EXPECT_FALSE(std::filesystem::exists(durationFile.path()));
  }
}

// A settlement the store refuses leaves nothing behind and keeps the file: after the repair the
// next start offers the connection again and counts it once.
TEST_F(CrashRecoveryTest, AFailedSettlementIsOfferedAgain) {
  crashSaturdayConnection();
  ProgramRun first(store, clock, folder.path());
  first.boxes.answers = {MessageAnswer::Yes};
  store.refuseWritesOf("SecondsT");
  EXPECT_EQ(recover(first), std::nullopt);
  ASSERT_EQ(first.boxes.shown.size(), 2u);  // the question, then the error naming the value
  EXPECT_NE(first.boxes.shown[1].text.find("SecondsT"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(durationFile.path()));
  EXPECT_EQ(integer(store, "SecondsT"), 0);
  EXPECT_EQ(text(store, "Account"), "100");

  store.refuseWritesOf("");
  ProgramRun second(store, clock, folder.path());
  second.boxes.answers = {MessageAnswer::Yes};
  EXPECT_EQ(recover(second), RecoveryOutcome::Counted);
  EXPECT_EQ(integer(store, "SecondsT"), 720);
  EXPECT_EQ(fileContent(log.path()), kHeader +
                                         "14.03.2026 23:55:00 - Connected\r\n"
                                         "15:03:2026 00:07:00 - DisConnected\r\n"
                                         "         = 00:12:00 + [15c]\r\n\r\n");
}

// A live disconnect whose settlement the store refused: the connection is kept, and once the
// value is repaired the next start counts it as the finished connection it was, under its own
// disconnect line.
TEST_F(CrashRecoveryTest, AConnectionKeptAtItsDisconnectIsCountedAsAConnection) {
  {
    ProgramRun live(store, clock, folder.path());
    meterSaturdayConnection(live);
    store.refuseWritesOf("SecondsT");
    live.probe.answer = 0;
    live.core.poll();
    ASSERT_EQ(live.boxes.shown.size(), 1u);
    EXPECT_NE(live.boxes.shown[0].text.find("SecondsT"), std::string::npos);
  }
  store.refuseWritesOf("");
  clock.set(2026, 3, 15, 9, 30, 0);
  ProgramRun next(store, clock, folder.path());
  next.boxes.answers = {MessageAnswer::Yes};
  EXPECT_EQ(recover(next), RecoveryOutcome::Counted);
  EXPECT_EQ(fileContent(log.path()), kHeader +
                                         "14.03.2026 23:55:00 - Connected\r\n"
                                         "15.03.2026 00:07:00 - DisConnected\r\n"
                                         "         = 00:12:00 + [15c]\r\n\r\n");
  EXPECT_EQ(integer(store, "SecondsT"), 720);
  for (const char* n : {"NumberD", "NumberW", "NumberM", "NumberT"}) {
    EXPECT_EQ(integer(store, n), 1) << n;
  }
}

// A full disk at the disconnect: the crash file keeps the last tick and the store cannot take
// the settlement. The user is told once, the monitor goes on, and a program closed before there
// is room leaves the connection for the next start, which counts it as it was logged: until its
// disconnect, as a connection, without a second disconnect line and without calling it a crash.
TEST_F(CrashRecoveryTest, AConnectionEndedOnAFullDiskIsCountedWholeAtTheNextStart) {
  {
    ProgramRun live(store, clock, folder.path());
    meterSaturdayConnection(live);
    setWriteRefusal([](const char* file) { return std::string_view(file) == "Duration.tmp"; });
    store.beFull(true);
    clock.advance(3);
    live.probe.answer = 0;
    live.core.poll();
    live.core.retrySettlement();
    setWriteRefusal(nullptr);
    ASSERT_EQ(live.boxes.shown.size(), 1u);
    EXPECT_NE(live.boxes.shown[0].text.find("нет места для базы настроек"), std::string::npos);
    const std::vector<std::string>& calls = live.view.calls;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "monitoring off"), 0);
    EXPECT_EQ(fileContent(durationFile.path()), "720 23 55 6 00 07 00\r\n15:03:2026");
  }
  store.beFull(false);
  clock.set(2026, 3, 15, 9, 30, 0);
  ProgramRun next(store, clock, folder.path());
  next.boxes.answers = {MessageAnswer::Yes};
  EXPECT_EQ(recover(next), RecoveryOutcome::Counted);
  ASSERT_EQ(next.boxes.shown.size(), 1u);
  EXPECT_EQ(next.boxes.shown[0].text.rfind("Прошлое соединение с Интернетом закончилось", 0), 0u);
  const std::string logged = fileContent(log.path());
  EXPECT_EQ(logged.rfind(kHeader + "14.03.2026 23:55:00 - Connected\r\n"
                                   "15.03.2026 00:07:03 - DisConnected\r\n"
                                   "         = 00:12:03 + [",
                         0),
            0u)
      << logged;
  EXPECT_EQ(integer(store, "SecondsT"), 723);
  EXPECT_EQ(integer(store, "NumberT"), 1);
  EXPECT_FALSE(std::filesystem::exists(durationFile.path()));
}

// A start that died after writing the restored disconnect: the next one still tells a crash,
// not a connection that ended, and counts no connection.
TEST_F(CrashRecoveryTest, ARestoredDisconnectIsNoDisconnectTheProgramSaw) {
  crashSaturdayConnection();
  log.appendRestoredDisconnect(durationFile.read().record);
  ProgramRun after(store, clock, folder.path());
  after.boxes.answers = {MessageAnswer::Yes};
  EXPECT_EQ(recover(after), RecoveryOutcome::Counted);
  ASSERT_EQ(after.boxes.shown.size(), 1u);
  EXPECT_EQ(after.boxes.shown[0].text, kQuestion);
  EXPECT_EQ(fileContent(log.path()), kHeader +
                                         "14.03.2026 23:55:00 - Connected\r\n"
                                         "15:03:2026 00:07:00 - DisConnected\r\n"
                                         "         = 00:12:00 + [15c]\r\n\r\n");
  EXPECT_EQ(integer(store, "NumberT"), 0);
}

// A crash file that cannot be written is told once per connection, with the file and why.
TEST_F(CrashRecoveryTest, AnUnprotectedConnectionIsToldOncePerConnection) {
  std::filesystem::create_directory(durationFile.path());  // no file can be renamed over it
  ProgramRun run(store, clock, folder.path());
  clock.set(2026, 3, 14, 20, 0, 0);
  run.core.setMonitoring(true);
  for (int connection = 1; connection <= 2; ++connection) {
    run.probe.answer = 1;
    run.core.poll();
    for (int tick = 0; tick < 3; ++tick) {
      clock.advance(5);
      run.core.protectorTick();
    }
    ASSERT_EQ(run.boxes.shown.size(), static_cast<std::size_t>(connection));
    const std::string told = run.boxes.shown.back().text;
    EXPECT_EQ(
        told.rfind("Не удалось записать файл защиты от сбоев:\n" +
                       std::filesystem::absolute(durationFile.path()).string() + "\nПричина: ",
                   0),
        0u)
        << told;
    EXPECT_NE(told.find("Текущее соединение НЕ защищено"), std::string::npos);
    std::filesystem::remove(durationFile.path());
    run.probe.answer = 0;
    run.core.poll();
    std::filesystem::create_directory(durationFile.path());
  }
}

// The process died after the store took the connection but before the files followed: the next
// start finishes the file steps without a question and without counting it again.
TEST_F(CrashRecoveryTest, ASettledConnectionOnlyHasItsFilesFinished) {
  crashSaturdayConnection();
  accountLog.rewrite("100");
  const DurationRecord onDisk = durationFile.read().record;
  const std::string content = fileContent(durationFile.path());
  // The run that died had settled it in the store, nothing more.
  testing::RecordingMessageBoxes diedBoxes;
  testing::RecordingPanels diedPanels;
  TariffWarning diedWarning(diedBoxes);
  Meter died(store, clock, diedPanels, diedWarning, '.');
  died.restoreConnection(23, 55, 6, 720);
  MeteredConnection ended = died.metered();
  const SettledConnection settled =
      settleInStore(store, diedWarning, ended, connectionIdentity(onDisk), false, &died.display());

  for (int start = 0; start < 2; ++start) {
    // Once with the summary entry missing, once after it was written.
    if (start == 1) std::ofstream(durationFile.path(), std::ios::binary) << content;
    ProgramRun next(store, clock, folder.path());
    bool busy = false;
    const std::optional<StartupResult> result = next.core.startUp(busy);
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->settlementFinished);
    EXPECT_EQ(result->recovery, RecoveryOutcome::NothingFound);
    EXPECT_TRUE(next.boxes.shown.empty());  // neither the crash nor the account question
    EXPECT_EQ(fileContent(accountLog.path()), "99.8499984741211\r\n");
    EXPECT_EQ(fileContent(log.path()),
              kHeader + "14.03.2026 23:55:00 - Connected\r\n" + settled.summaryLine + "\r\n\r\n");
    EXPECT_FALSE(std::filesystem::exists(durationFile.path()));
  }
  EXPECT_EQ(integer(store, "SecondsT"), 720);
  EXPECT_EQ(text(store, "CentsT"), "15");

  // Another connection's file is no business of the finishing: it is offered as a crash.
  std::ofstream(durationFile.path(), std::ios::binary) << "715 23 55 6 00 06 55\r\n15:03:2026";
  const DurationFile waiting(folder / "Waiting.tmp");
  testing::RecordingMessageBoxes settlementBoxes;
  TariffWarning warning(settlementBoxes);
  ConnectionSettlement settlement(store, log, accountLog, durationFile, waiting, warning);
  EXPECT_FALSE(settlement.finishSettled());
  EXPECT_TRUE(std::filesystem::exists(durationFile.path()));
}

// Files that cannot be written after the store counted the connection: the charge stays, the
// user is told once which file and why, and Duration.tmp names the settled connection until a
// later write finishes the steps; no later start asks about the balance or the connection.
TEST_F(CrashRecoveryTest, UnwritableLogsKeepTheSettledConnectionUntilTheyAreWritten) {
  crashSaturdayConnection();
  std::filesystem::remove(log.path());
  std::filesystem::create_directory(log.path());
  std::filesystem::create_directory(accountLog.path());
  ProgramRun after(store, clock, folder.path());
  after.boxes.answers = {MessageAnswer::Yes};

  EXPECT_EQ(recover(after), RecoveryOutcome::Counted);
  EXPECT_EQ(text(store, "Account"), "99.8499984741211");
  EXPECT_EQ(integer(store, "SecondsT"), 720);
  EXPECT_TRUE(std::filesystem::exists(durationFile.path()));
  ASSERT_EQ(after.boxes.shown.size(), 2u);
  const std::string told = after.boxes.shown[1].text;
  EXPECT_EQ(told.rfind("Соединение засчитано, но не удалось записать файл:\n" +
                           std::filesystem::absolute(accountLog.path()).string() + "\nПричина: ",
                       0),
            0u)
      << told;
  // The protector of a new connection leaves the settled one's file alone.
  after.core.protectorTick();
  EXPECT_EQ(fileContent(durationFile.path()), "720 23 55 6 00 07 00\r\n15:03:2026");

  // Writable again: the next retry finishes the steps without a word.
  std::filesystem::remove(log.path());
  std::filesystem::remove(accountLog.path());
  std::ofstream(log.path(), std::ios::binary) << kHeader << "14.03.2026 23:55:00 - Connected";
  after.core.retrySettlement();
  EXPECT_EQ(after.boxes.shown.size(), 3u);  // the unprotected new connection, once
  after.core.retrySettlement();
  EXPECT_EQ(after.boxes.shown.size(), 3u);
  EXPECT_FALSE(std::filesystem::exists(durationFile.path()));
  EXPECT_EQ(fileContent(accountLog.path()), "99.8499984741211\r\n");
  EXPECT_EQ(fileContent(log.path()), kHeader +
                                         "14.03.2026 23:55:00 - Connected\r\n"
                                         "         = 00:12:00 + [15c]\r\n\r\n");

  ProgramRun later(store, clock, folder.path());
  EXPECT_EQ(recover(later), RecoveryOutcome::NothingFound);
  EXPECT_TRUE(later.boxes.shown.empty());
  EXPECT_EQ(integer(store, "SecondsT"), 720);
}

// The same files unwritable across a restart: the start that still cannot write them neither
// asks about the balance nor offers the settled connection again; the one after finishes them.
TEST_F(CrashRecoveryTest, AStartThatCannotFinishTheFilesAsksNothing) {
  crashSaturdayConnection();
  std::filesystem::create_directory(accountLog.path());
  {
    ProgramRun after(store, clock, folder.path());
    after.boxes.answers = {MessageAnswer::Yes};
    EXPECT_EQ(recover(after), RecoveryOutcome::Counted);
  }
  ProgramRun stuck(store, clock, folder.path());
  EXPECT_EQ(recover(stuck), RecoveryOutcome::NothingFound);
  ASSERT_EQ(stuck.boxes.shown.size(), 1u);
  EXPECT_EQ(stuck.boxes.shown[0].text.rfind("Соединение засчитано, но не удалось", 0), 0u);
  EXPECT_TRUE(std::filesystem::exists(durationFile.path()));

  std::filesystem::remove(accountLog.path());
  ProgramRun fine(store, clock, folder.path());
  EXPECT_EQ(recover(fine), RecoveryOutcome::NothingFound);
  EXPECT_TRUE(fine.boxes.shown.empty());
  EXPECT_EQ(fileContent(accountLog.path()), "99.8499984741211\r\n");
  EXPECT_EQ(integer(store, "SecondsT"), 720);
  const std::string logged = fileContent(log.path());
  EXPECT_EQ(logged.find(" + [15c]"), logged.rfind(" + [15c]")) << logged;
}

}  // namespace
}  // namespace pelmora
