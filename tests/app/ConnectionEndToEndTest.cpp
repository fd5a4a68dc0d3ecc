// The road of real connections through the real program: a fake PPP link brought up and down,
// a process killed in the middle of a connection and started again.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <csignal>
#include <memory>
#include <regex>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "accounting/AmountText.h"
#include "accounting/Money.h"
#include "accounting/Tariffs.h"
#include "app/ProgramFixture.h"
#include "store/linux/SqliteSettingsStore.h"
#include "store/StoreKeys.h"
#include "support/RecordingMessageBoxes.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::ProgramProcess;
using testing::waitUntil;

// Seconds since midnight of a log stamp "dd.mm.yyyy hh:nn:ss" found by a pattern.
int stampSeconds(const std::string& log, const std::string& entry) {
  const std::regex pattern("\\d\\d\\.\\d\\d\\.\\d{4} (\\d\\d):(\\d\\d):(\\d\\d)" + entry);
  std::smatch m;
  if (!std::regex_search(log, m, pattern)) return -1;
  return std::stoi(m[1]) * 3600 + std::stoi(m[2]) * 60 + std::stoi(m[3]);
}

class ConnectionTest : public testing::ProgramFixture {
 protected:
  std::unique_ptr<SqliteSettingsStore> store() {
    return std::make_unique<SqliteSettingsStore>(home() / "registry.db",
                                                 m_root / "config" / "autostart");
  }
  std::int32_t integer(const char* name) {
    auto s = store();
    return s->OpenKey(kProgramKey, false)->ReadInteger(name);
  }
  std::string text(const char* name) {
    auto s = store();
    return s->OpenKey(kProgramKey, false)->ReadString(name);
  }
  void setInteger(const char* name, std::int32_t value) {
    auto s = store();
    s->OpenKey(kProgramKey, true)->WriteInteger(name, value);
  }

  // What pelmora-history prints for the program's data folder.
  std::string history(const std::string& arguments) {
    const std::string command =
        "PELMORA_HOME='" + home().string() + "' '" + PELMORA_HISTORY_EXECUTABLE + "' " + arguments;
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
      char buffer[4096];
      std::size_t n;
      while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
      ::pclose(pipe);
    }
    return out;
  }

  // A first run writes the defaults; it ends before the test goes on.
  void firstRun() {
    setLink(false);
    auto first = start();
    ASSERT_TRUE(waitForText("Account.LOG", "0"));
    waitForLock();
    first->signal(SIGTERM);
    ASSERT_EQ(first->wait(10s), 0);
  }
};

TEST_F(ConnectionTest, AFirstStartWritesEveryDefaultAndTheHeader) {
  firstRun();
  EXPECT_EQ(file("Internet.LOG"),
            "==================================\r\nPelmora connections log\r\n"
            "==================================\r\n");
  EXPECT_EQ(file("Account.LOG"), "0\r\n");
  EXPECT_EQ(integer("HideOnDisconnect"), 1);
  EXPECT_EQ(integer("SecondsPlus"), 5);
  EXPECT_EQ(integer("Zero"), 20);
  EXPECT_EQ(text("CurrencySub"), "ц.");
  EXPECT_EQ(text("CurrencyCustomB"), "ТУГРИКОВ");
  EXPECT_EQ(text("SoundON"), "/usr/share/sounds/freedesktop/stereo/service-login.oga");
  EXPECT_EQ(integer("Trunc"), 0);
  EXPECT_EQ(text("Version"), "2.4");
  EXPECT_EQ(text("Account"), "0");
  auto s = store();
  EXPECT_EQ(s->OpenKey(tariffKey(6), false)->ReadInteger("MaxC"), 75);
  EXPECT_EQ(s->OpenKey(kApplicationsKey, false)->ReadInteger("Pelmora v2.4"), 1);
  EXPECT_FALSE(s->OpenKey(kRunKey, true)->ValueExists("Pelmora v2.4"));
}

TEST_F(ConnectionTest, ALinkUpForAFewSecondsIsMeteredAndSettled) {
  firstRun();
  setInteger("Zero", 0);  // so that a short connection costs something
  auto program = start();
  waitForLock();
  setLink(true);
  ASSERT_TRUE(waitForText("Internet.LOG", " - Connected"));
  std::this_thread::sleep_for(3s);
  // A status bar sees the connection live, before the crash file is first written.
  const std::string live = history("--status --json");
  EXPECT_NE(live.find("\"state\":\"connected\""), std::string::npos) << live;
  setLink(false);
  ASSERT_TRUE(waitForText("Internet.LOG", "]\r\n\r\n"));
  program->signal(SIGTERM);
  ASSERT_EQ(program->wait(10s), 0);
  EXPECT_EQ(program->messageBoxes(), "");
  EXPECT_NE(history("--status --json").find("\"state\":\"off\""), std::string::npos);

  const std::string log = file("Internet.LOG");
  const int connected = stampSeconds(log, " - Connected\r\n");
  const int disconnected = stampSeconds(log, " - DisConnected\r\n");
  ASSERT_GE(connected, 0);
  ASSERT_GE(disconnected, connected);  // no test runs across midnight in practice
  const int seconds = disconnected - connected + 5;
  EXPECT_EQ(integer("Seconds"), seconds);

  // The price of the zone the connection started in, under the default tariffs.
  testing::RecordingMessageBoxes boxes;
  TariffWarning warning(boxes);
  const DayTariffs day = defaultDayTariffs();
  const int price =
      zonePrice(lookupZone(day, connected / 3600, connected % 3600 / 60), day, warning);
  const float cost = connectionCost(seconds, price);
  const std::string costText = formatAmount(cost, '.');
  EXPECT_EQ(text("Cents"), costText);
  EXPECT_EQ(text("CentsD"), costText);
  EXPECT_EQ(text("CentsT"), costText);
  EXPECT_EQ(integer("SecondsT"), seconds);
  for (const char* n : {"NumberD", "NumberW", "NumberM", "NumberT"}) EXPECT_EQ(integer(n), 1);
  // The month as pelmora-history sums the log: the statistics' month, to the log's 8 digits.
  std::smatch month;
  const std::string months = history("--months");
  ASSERT_TRUE(std::regex_search(months, month, std::regex("\n\\d{4}-\\d\\d,(\\d+),(\\d+),(.*)\n")))
      << months;
  EXPECT_EQ(std::stoi(month[1]), integer("NumberM"));
  EXPECT_EQ(std::stoi(month[2]), integer("SecondsM"));
  EXPECT_NEAR(static_cast<double>(parseStoredAmount(month[3].str())),
              static_cast<double>(parseStoredAmount(text("CentsM"))), 1e-5);
  const std::string balance =
      formatAmount(static_cast<float>(0.0L - kMinorToMajor * static_cast<long double>(cost)), '.');
  EXPECT_EQ(text("Account"), balance);
  EXPECT_EQ(file("Account.LOG"), balance + "\r\n");
  EXPECT_FALSE(fs::exists(home() / "Duration.tmp"));

  // Connect line, disconnect line, summary line, empty line.
  const std::regex road(
      "\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d - Connected\r\n"
      "\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d - DisConnected\r\n"
      "         = 00:00:\\d\\d \\+ \\[[0-9.]{1,8}c\\]\r\n\r\n$");
  EXPECT_TRUE(std::regex_search(log, road)) << log;
}

// An installer or a script ends the running program with --quit while the link is still up: the
// connection is settled as if the link went down then, and the program has ended when --quit
// returns. With nothing running, --quit starts nothing.
TEST_F(ConnectionTest, QuitFromOutsideSettlesTheConnectionAndWaitsForTheEnd) {
  firstRun();
  auto program = start();
  waitForLock();
  setLink(true);
  ASSERT_TRUE(waitForText("Internet.LOG", " - Connected"));
  ASSERT_TRUE(waitUntil([&] { return fs::exists(home() / "pelmora.requests"); }, 10s));
  auto quit = start({"--quit"});
  EXPECT_EQ(quit->wait(30s), 0);
  EXPECT_FALSE(program->running());
  EXPECT_EQ(program->wait(1s), 0);
  EXPECT_EQ(program->messageBoxes(), "");
  EXPECT_TRUE(std::regex_search(file("Internet.LOG"),
                                std::regex(" - DisConnected\r\n         = 00:00:\\d\\d \\+ "
                                           "\\[[0-9.]{1,8}c\\]\r\n\r\n$")))
      << file("Internet.LOG");
  EXPECT_EQ(integer("NumberT"), 1);
  EXPECT_FALSE(fs::exists(home() / "Duration.tmp"));

  auto nothing = start({"--quit"});
  EXPECT_EQ(nothing->wait(10s), 0);
  EXPECT_FALSE(testing::instanceLockHeld(home()));
}

// Another program holds the store's write lock (sqlite3 in a transaction) while a connection
// ends: the window goes on, the disconnect is seen at once, and the connection is settled with
// its true duration as soon as the store is free.
TEST_F(ConnectionTest, ABusyStoreNeitherDelaysTheDisconnectNorLosesTheConnection) {
  firstRun();
  auto program = start();
  waitForLock();
  setLink(true);
  ASSERT_TRUE(waitForText("Internet.LOG", " - Connected"));
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open((home() / "registry.db").c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; UPDATE keys SET path = path", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);
  std::this_thread::sleep_for(2s);
  setLink(false);
  const auto down = std::chrono::steady_clock::now();
  ASSERT_TRUE(waitForText("Internet.LOG", " - DisConnected"));
  // Two polls a second, however long the store stays busy.
  EXPECT_LT(std::chrono::steady_clock::now() - down, 1500ms);
  std::this_thread::sleep_for(4s);
  EXPECT_EQ(file("Internet.LOG").find(" + ["), std::string::npos);
  EXPECT_TRUE(fs::exists(home() / "Duration.tmp"));
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);

  ASSERT_TRUE(waitForText("Internet.LOG", "]\r\n\r\n"));
  program->signal(SIGTERM);
  ASSERT_EQ(program->wait(10s), 0);
  EXPECT_EQ(program->messageBoxes(), "");
  const std::string log = file("Internet.LOG");
  const int seconds =
      stampSeconds(log, " - DisConnected\r\n") - stampSeconds(log, " - Connected\r\n") + 5;
  EXPECT_EQ(integer("SecondsT"), seconds);
  EXPECT_LE(seconds, 5 + 4);
  EXPECT_EQ(integer("NumberT"), 1);
  EXPECT_EQ(file("Account.LOG"), text("Account") + "\r\n");
  EXPECT_FALSE(fs::exists(home() / "Duration.tmp"));
}

// Another program holds the store while Pelmora starts, then a value of the wrong type: the
// start waits for the store without a word, and a store error says the monitoring is off and
// nothing is metered behind the user's back.
TEST_F(ConnectionTest, AStoreHeldAtStartIsWaitedForAndAStoreErrorStopsTheMonitoring) {
  firstRun();
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open((home() / "registry.db").c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; UPDATE keys SET path = path", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);
  auto held = start();
  waitForLock();
  std::this_thread::sleep_for(3s);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  setLink(true);
  ASSERT_TRUE(waitForText("Internet.LOG", " - Connected"));
  setLink(false);
  ASSERT_TRUE(waitForText("Internet.LOG", "]\r\n\r\n"));
  held->signal(SIGTERM);
  ASSERT_EQ(held->wait(10s), 0);
  EXPECT_EQ(held->messageBoxes(), "");
  EXPECT_EQ(integer("NumberT"), 1);

  {
    auto s = store();
    s->OpenKey(kProgramKey, false)->WriteString("Zero", "twenty");
  }
  const std::string before = file("Internet.LOG");
  auto broken = start();
  waitForLock();
  ASSERT_TRUE(waitUntil([&] { return !broken->messageBoxes().empty(); }, 10s));
  setLink(true);
  std::this_thread::sleep_for(2s);
  setLink(false);
  broken->signal(SIGTERM);
  ASSERT_EQ(broken->wait(10s), 0);
  const std::string box = broken->messageBoxes();
  EXPECT_NE(box.find("Zero"), std::string::npos) << box;
  EXPECT_NE(box.find("Наблюдение за соединением выключено"), std::string::npos) << box;
  EXPECT_EQ(file("Internet.LOG"), before);
  EXPECT_EQ(integer("NumberT"), 1);
}

// The store is held across two connections, twice: the second is protected by Duration.tmp while
// the first waits in Waiting.tmp, each summary entry follows its own disconnect entry, and a
// kill during the wait loses neither connection.
TEST_F(ConnectionTest, ConnectionsWhileTheStoreIsHeldAreProtectedAndLoggedInOrder) {
  firstRun();
  setInteger("Zero", 0);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open((home() / "registry.db").c_str(), &other), SQLITE_OK);
  const auto hold = [&] {
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; UPDATE keys SET path = path", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
  };
  const auto release = [&] { sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr); };
  const auto count = [&](const std::string& what) {
    const std::string log = file("Internet.LOG");
    int n = 0;
    for (auto at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) ++n;
    return n;
  };
  // One connection ends while the store is held, the next is metered until its crash file is
  // written.
  const auto twoConnections = [&](int before) {
    setLink(true);
    ASSERT_TRUE(waitUntil([&] { return count(" - Connected") == before + 1; }, 10s));
    std::this_thread::sleep_for(1500ms);
    setLink(false);
    ASSERT_TRUE(waitUntil([&] { return count(" - DisConnected") == before + 1; }, 10s));
    setLink(true);
    ASSERT_TRUE(waitUntil([&] { return count(" - Connected") == before + 2; }, 10s));
    ASSERT_TRUE(waitUntil([&] { return fs::exists(home() / "Waiting.tmp"); }, 10s));
    ASSERT_TRUE(waitUntil([&] { return fs::exists(home() / "Duration.tmp"); }, 10s));
    EXPECT_EQ(count(" + ["), before);
  };
  const std::string stamp = "\\d\\d[.:]\\d\\d[.:]\\d{4} \\d\\d:\\d\\d:\\d\\d";
  const std::string entry = stamp + " - Connected\r\n" + stamp +
                            " - DisConnected\r\n         = 00:00:\\d\\d \\+ \\[[^\\]]*\\]\r\n\r\n";

  auto program = start();
  waitForLock();
  std::this_thread::sleep_for(1500ms);  // the start-up is over: it would wait for the store
  hold();
  twoConnections(0);
  setLink(false);
  ASSERT_TRUE(waitUntil([&] { return count(" - DisConnected") == 2; }, 10s));
  release();
  ASSERT_TRUE(waitUntil([&] { return count(" + [") == 2; }, 10s));
  EXPECT_TRUE(std::regex_search(file("Internet.LOG"), std::regex(entry + entry + "$")))
      << file("Internet.LOG");
  EXPECT_EQ(integer("NumberT"), 2);

  hold();
  twoConnections(2);
  program->signal(SIGKILL);
  ASSERT_EQ(program->wait(10s), 128 + SIGKILL);
  release();
  setLink(false);
  auto again = start({}, "yes,yes");
  ASSERT_TRUE(waitUntil([&] { return count(" + [") == 4; }, 10s));
  waitForLock();
  again->signal(SIGTERM);
  ASSERT_EQ(again->wait(10s), 0);
  sqlite3_close(other);
  const std::string log = file("Internet.LOG");
  EXPECT_TRUE(std::regex_search(log, std::regex(entry + entry + entry + entry + "$"))) << log;
  EXPECT_EQ(integer("NumberT"), 3);  // the one cut by the kill is no finished connection
  const std::string boxes = again->messageBoxes();
  EXPECT_EQ(std::count(boxes.begin(), boxes.end(), '\n'), 2) << boxes;  // the two questions
  EXPECT_EQ(file("Account.LOG"), text("Account") + "\r\n");
  EXPECT_FALSE(fs::exists(home() / "Waiting.tmp"));
  EXPECT_FALSE(fs::exists(home() / "Duration.tmp"));
}

// A process killed in the middle of a connection: what the protector saved is offered at the
// next start.
class CrashTest : public ConnectionTest {
 protected:
  // Meters a connection until Duration.tmp was written at least once, then kills the program.
  // Returns the connection's true duration at the kill, SecondsPlus included.
  int killMidConnection() {
    firstRun();
    auto program = start();
    waitForLock();
    setLink(true);
    EXPECT_TRUE(waitForText("Internet.LOG", " - Connected"));
    EXPECT_TRUE(waitUntil([&] { return fs::exists(home() / "Duration.tmp"); }, 10s));
    std::this_thread::sleep_for(1500ms);
    program->signal(SIGKILL);
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    EXPECT_EQ(program->wait(10s), 128 + SIGKILL);
    const int connected = stampSeconds(file("Internet.LOG"), " - Connected");
    return local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec - connected + 5;
  }

  static constexpr const char* kQuestion =
      "Аварийное восстановление... | Во время прошлого соединения с Интернетом произошёл сбой,";
};

TEST_F(CrashTest, YesCountsTheConnectionWithoutCountingItAsAConnection) {
  const int truth = killMidConnection();
  setLink(false);
  auto again = start({}, "yes");
  ASSERT_TRUE(waitForText("Internet.LOG", "]\r\n\r\n"));
  waitForLock();
  again->signal(SIGTERM);
  ASSERT_EQ(again->wait(10s), 0);

  EXPECT_EQ(again->messageBoxes().rfind(kQuestion, 0), 0u) << again->messageBoxes();
  const std::string log = file("Internet.LOG");
  // The restored disconnect carries the time of the last protector tick.
  EXPECT_TRUE(std::regex_search(
      log, std::regex(" - Connected\r\n\\d\\d:\\d\\d:\\d{4} \\d\\d:\\d\\d:\\d\\d - DisConnected\r\n"
                      "         = 00:00:\\d\\d \\+ \\[")))
      << log;
  const int seconds = integer("Seconds");
  EXPECT_LE(seconds, truth + 1);
  EXPECT_GE(seconds, truth - 6);
  EXPECT_EQ(integer("SecondsD"), seconds);
  for (const char* n : {"NumberD", "NumberW", "NumberM", "NumberT"}) EXPECT_EQ(integer(n), 0);
  EXPECT_FALSE(fs::exists(home() / "Duration.tmp"));
}

// A system shutdown while the crash question is open ends the program at once, with nothing
// decided: the next start asks again, and the log gets the restored disconnect only once.
TEST_F(CrashTest, AShutdownDuringTheQuestionLeavesTheConnectionForTheNextStart) {
  killMidConnection();
  setLink(false);
  auto asking = start({}, "", true);
  waitForLock();
  ASSERT_TRUE(waitForText("Internet.LOG", " - DisConnected"));
  std::this_thread::sleep_for(500ms);  // the box is open
  asking->signal(SIGTERM);
  const auto sent = std::chrono::steady_clock::now();
  EXPECT_EQ(asking->wait(10s), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - sent, 2s);
  EXPECT_TRUE(fs::exists(home() / "Duration.tmp"));

  auto again = start({}, "yes");
  ASSERT_TRUE(waitForText("Internet.LOG", "]\r\n\r\n"));
  waitForLock();
  again->signal(SIGTERM);
  ASSERT_EQ(again->wait(10s), 0);
  const std::string log = file("Internet.LOG");
  EXPECT_EQ(log.find(" - DisConnected"), log.rfind(" - DisConnected")) << log;
  EXPECT_GT(integer("SecondsT"), 0);
}

TEST_F(CrashTest, NoLogsTheIgnoredConnectionAndALinkStillUpIsANewConnection) {
  killMidConnection();
  auto again = start({}, "no");  // the link is still up
  ASSERT_TRUE(waitForText("Internet.LOG", " - \r\n\r\n"));
  ASSERT_TRUE(waitUntil(
      [&] {
        const std::string log = file("Internet.LOG");
        return log.find(" - Connected", log.find(" - \r\n\r\n")) != std::string::npos;
      },
      10s));
  again->signal(SIGTERM);
  ASSERT_EQ(again->wait(10s), 0);

  EXPECT_TRUE(
      std::regex_search(file("Internet.LOG"),
                        std::regex("DisConnected\r\n         = 00:00:\\d\\d - \r\n\r\n"
                                   "\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d - Connected$")));
  EXPECT_EQ(integer("Seconds"), 0);
  EXPECT_EQ(text("CentsT"), "0");
  EXPECT_EQ(text("Account"), "0");
  // The new connection is being metered: the shutdown left its crash file.
  EXPECT_EQ(integer("NumberT"), 0);
}

}  // namespace
}  // namespace pelmora
