#include "history/HistoryTool.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/AccountingStore.h"
#include "platform/PathText.h"
#include "store/StoreError.h"
#include "support/FakeClock.h"
#include "support/TemporaryFolder.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

// The fixture's store handed out as the tool's own, writes and all.
struct BorrowedStore final : SettingsStore {
  explicit BorrowedStore(SettingsStore& s) : store(s) {}
  std::unique_ptr<StoreKey> OpenKey(const std::string& path, bool create) override {
    return store.OpenKey(path, create);
  }
  void DeleteKey(const std::string& path) override { store.DeleteKey(path); }
  void Atomically(const std::function<void()>& steps) override { store.Atomically(steps); }
  SettingsStore& store;
};

// A data folder of its own under the system's temporary folder (on every system).
class HistoryToolTest : public ::testing::Test {
 protected:
  HistoryToolTest() {
    testing::seedStore(store);
    store.set(kProgramKey, "Zero", 0);
    store.set(kProgramKey, "CurrencyStatus", 0);
    store.set(kProgramKey, "Currency", std::string("$"));
    store.set(kProgramKey, "CurrencySub", std::string("ц."));
    // Saturday's evening costs 90 an hour, Sunday's the default 75.
    DayTariffs saturday = defaultDayTariffs();
    saturday.max.price = 90;
    testing::putDay(store, 6, saturday);
  }
  void put(const std::string& name, const std::string& content) {
    std::ofstream(folder / name, std::ios::binary) << content;
  }

  int run(const std::vector<std::string>& arguments, const std::string& input = "") {
    out.str("");
    err.str("");
    std::istringstream in(input);
    const HistoryToolContext context{in,
                                     out,
                                     err,
                                     "\n",
                                     DataFolder(folder),
                                     clock,
                                     [](const LogTime&) { return std::optional<int>(3 * 3600); },
                                     [this] { return running; },
                                     [this] {
                                       ++storeOpened;
                                       return std::make_unique<BorrowedStore>(store);
                                     }};
    return runHistoryTool(arguments, context);
  }

  testing::TemporaryFolder scratch;
  const fs::path folder = scratch.path();
  testing::MemorySettingsStore store;
  testing::FakeClock clock;
  std::ostringstream out;
  std::ostringstream err;
  int storeOpened = 0;
  bool running = true;  // whether Pelmora holds its instance lock
};

TEST_F(HistoryToolTest, DatesAreInclusiveOnTheStartAndArgumentsAreChecked) {
  put("Internet.LOG",
      "28.02.2026 23:59:00 - Connected\r\n"
      "01.03.2026 00:01:00 - DisConnected\r\n"
      "         = 00:02:00 + [2c]\r\n\r\n"
      "damaged\r\n"
      "02.03.2026 08:00:00 - Connected\r\n"
      "02.03.2026 08:00:00 - Canceled\r\n\r\n");
  const std::string header = "start,end,seconds,cost,unit,restored,cancelled\n";
  const std::string feb = "2026-02-28T23:59:00+03:00,2026-03-01T00:01:00+03:00,120,2,c,0,0\n";
  const std::string mar = "2026-03-02T08:00:00+03:00,2026-03-02T08:00:00+03:00,,,,0,1\n";

  EXPECT_EQ(run({}), kHistoryOk);
  EXPECT_EQ(out.str(), header + feb + mar);
  EXPECT_EQ(err.str(), "pelmora-history: skipped 1 lines\n");
  EXPECT_EQ(run({"--since", "2026-02-28", "--until=2026-02-28"}), kHistoryOk);
  EXPECT_EQ(out.str(), header + feb);
  EXPECT_EQ(run({"--since=2026-03-01"}), kHistoryOk);  // ended on the 1st, started before it
  EXPECT_EQ(out.str(), header + mar);
  EXPECT_EQ(run({"--json", "--until", "2026-03-01", utf8Path(folder / "Internet.LOG")}),
            kHistoryOk);
  EXPECT_EQ(out.str(),
            "{\"start\":\"2026-02-28T23:59:00+03:00\",\"end\":\"2026-03-01T00:01:00+03:00\","
            "\"seconds\":120,\"cost\":2,\"unit\":\"c\",\"restored\":false,\"cancelled\":false}\n");

  for (const std::vector<std::string>& wrong :
       std::vector<std::vector<std::string>>{{"--since"},
                                             {"--since", "2026-02-30"},
                                             {"--until=yesterday"},
                                             {"--csv"},
                                             {"a.log", "b.log"},
                                             {"--days", "--months"},
                                             {"--status", "--days"},
                                             {"--status", "Internet.LOG"}}) {
    EXPECT_EQ(run(wrong), kHistoryBadArguments) << wrong[0];
    EXPECT_EQ(out.str(), "");
  }
  EXPECT_EQ(run({utf8Path(folder / "missing.LOG")}), kHistoryUnreadable);
  EXPECT_EQ(run({utf8Path(folder)}), kHistoryUnreadable);
  EXPECT_EQ(run({"--help"}), kHistoryOk);
  EXPECT_EQ(out.str().rfind("Использование: pelmora-history", 0), 0u);
  EXPECT_NE(out.str().find("Коды выхода: 0"), std::string::npos);
  EXPECT_EQ(run({"--version"}), kHistoryOk);
  EXPECT_EQ(out.str(), "pelmora-history 2.4\n");
  EXPECT_EQ(storeOpened, 0);
}

// Rows per day and month count what the program counted, on the day it was settled; the log
// comes from standard input with CR-only line ends.
TEST_F(HistoryToolTest, DaysAndMonthsSumTheCountedConnections) {
  const std::string log =
      "28.02.2026 23:59:00 - Connected\r"
      "01.03.2026 00:01:00 - DisConnected\r"
      "         = 00:02:00 + [2,5c]\r\r"
      "01.03.2026 10:00:00 - Connected\r"
      "01.03.2026 10:00:30 - DisConnected\r"
      "         = 00:00:30 + [0,25c]\r\r"
      "02.03.2026 08:00:00 - Connected\r"
      "02.03.2026 08:00:00 - Canceled\r\r"
      "03.04.2026 08:00:00 - Connected\r"
      "03.04.2026 09:00:00 - DisConnected\r"
      "         = 01:00:00 + [75c]\r\r"
      "03.04.2026 10:00:00 - Connected\r"  // restored after a crash: no connection more
      "03:04:2026 10:00:30 - DisConnected\r"
      "         = 00:00:30 + [1c]\r\r";
  EXPECT_EQ(run({"--days", "-"}, log), kHistoryOk);
  EXPECT_EQ(out.str(),
            "day,connections,seconds,cost\n"
            "2026-03-01,2,150,2.75\n"
            "2026-04-03,1,3630,76\n");
  // Short options, and the last rows only, as "-d 7" asks.
  EXPECT_EQ(run({"-d", "1", "-"}, log), kHistoryOk);
  EXPECT_EQ(out.str(), "day,connections,seconds,cost\n2026-04-03,1,3630,76\n");
  EXPECT_EQ(run({"--days=5", "-"}, log), kHistoryOk);
  EXPECT_EQ(out.str(),
            "day,connections,seconds,cost\n2026-03-01,2,150,2.75\n2026-04-03,1,3630,76\n");
  // JSON: the period is one document, empty or not.
  EXPECT_EQ(run({"-m", "--json", "--until", "2026-03-31", "-"}, log), kHistoryOk);
  EXPECT_EQ(
      out.str(),
      "{\"months\":[{\"month\":\"2026-03\",\"connections\":2,\"seconds\":150,\"cost\":2.75}]}\n");
  EXPECT_EQ(run({"--json", "--months", "2", "--since=2027-01-01", "-"}, log), kHistoryOk);
  EXPECT_EQ(out.str(), "{\"months\":[]}\n");
  EXPECT_EQ(run({"--days", "--json", "-"}, log), kHistoryOk);
  EXPECT_EQ(out.str(),
            "{\"days\":[{\"day\":\"2026-03-01\",\"connections\":2,\"seconds\":150,\"cost\":2.75},"
            "{\"day\":\"2026-04-03\",\"connections\":1,\"seconds\":3630,\"cost\":76}]}\n");
  // One line for a status bar: a day without connections, then its month.
  clock.set(2026, 3, 2, 12, 0, 0);
  EXPECT_EQ(run({"--oneline", "-"}, log), kHistoryOk);
  EXPECT_EQ(out.str(), "1;2026-03-02;0;0;00:00:00;0;2026-03;2;150;00:02:30;2.75\n");
  EXPECT_EQ(err.str(), "");
  for (const std::vector<std::string>& wrong :
       std::vector<std::vector<std::string>>{{"--days=x"},
                                             {"-d", "-m"},
                                             {"--oneline", "--json"},
                                             {"--oneline", "-d"},
                                             {"--status", "--oneline"}}) {
    EXPECT_EQ(run(wrong, log), kHistoryBadArguments) << wrong[0];
    EXPECT_EQ(out.str(), "");
  }
}

// The status bar sees the connection from its first second: the start is the log's open connect
// entry, priced up to now by the metering's arithmetic; once Pelmora has gone, nothing.
TEST_F(HistoryToolTest, StatusIsLiveFromTheConnectEntryAndEndsWithTheProgram) {
  put("Internet.LOG",
      "14.03.2026 23:54:00 - Connected\r\n14.03.2026 23:54:10 - DisConnected\r\n"
      "         = 00:00:10 + [0c]\r\n\r\n14.03.2026 23:59:59 - Connected");
  store.set(kProgramKey, "SecondsPlus", 3);
  store.refuseWrites(true);

  clock.set(2026, 3, 14, 23, 59, 59);
  EXPECT_EQ(run({"--status"}), kHistoryOk);
  EXPECT_EQ(out.str(), "00:00:03 0.07500 ц.\n");  // SecondsPlus at Saturday's 90 an hour
  clock.set(2026, 3, 15, 0, 0, 0);                // a second later, across midnight
  EXPECT_EQ(run({"--status", "--json"}), kHistoryOk);
  EXPECT_EQ(out.str(),
            "{\"text\":\"00:00:04 0.10000 ц.\",\"class\":\"connected\",\"state\":\"connected\","
            "\"seconds\":4,\"cost\":0.10000,\"currency\":\"ц.\"}\n");

  running = false;  // killed: the log still ends in the connect entry
  EXPECT_EQ(run({"--status"}), kHistoryOk);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(run({"--status", "--json"}), kHistoryOk);
  EXPECT_EQ(out.str(),
            "{\"text\":\"\",\"class\":\"off\",\"state\":\"off\",\"seconds\":null,\"cost\":null,"
            "\"currency\":null}\n");

  running = true;  // a connect entry a crash left open is ended with a line end at the start
  put("Internet.LOG", "14.03.2026 23:59:59 - Connected\r\n");
  const int opened = storeOpened;
  EXPECT_EQ(run({"--status", "--json"}), kHistoryOk);
  EXPECT_NE(out.str().find("\"state\":\"idle\""), std::string::npos);
  EXPECT_EQ(storeOpened, opened);
}

TEST_F(HistoryToolTest, StatusPricesTheRunningConnectionFromTheStoreWithoutWritingIt) {
  // The log lacks the connect entry (it could not be written); the crash file tells the rest.
  // Started Saturday 23:55; the last tick was at Sunday 00:07:00, 720 s in.
  const std::string crashFile = "720 23 55 6 00 07 00\r\n15:03:2026";
  clock.set(2026, 3, 15, 0, 7, 4);

  EXPECT_EQ(run({"--status"}), kHistoryOk);  // idle: nothing, and the store is never opened
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(storeOpened, 0);

  put("Duration.tmp", crashFile);
  store.refuseWrites(true);
  EXPECT_EQ(run({"--status"}), kHistoryOk);
  EXPECT_EQ(out.str(), "00:12:00 18 ц.\n");  // 720 s at Saturday's 90 an hour

  store.set(kProgramKey, "CurrencyStatus", 1);
  EXPECT_EQ(run({"--status"}), kHistoryOk);
  EXPECT_EQ(out.str(), "00:12:00 0.18 $\n");
  store.set(kProgramKey, "Zero", 720);  // not longer than the free seconds: free
  EXPECT_EQ(run({"--status"}), kHistoryOk);
  EXPECT_EQ(out.str(), "00:12:00 0 $\n");

  // A file the settlement already took, or one a crash left behind, is no running connection.
  store.set(kProgramKey, "SettledConnection", std::string("720 23 55 6 00 07 00 15:03:2026"));
  EXPECT_EQ(run({"--status"}), kHistoryOk);
  EXPECT_EQ(out.str(), "");
  store.set(kProgramKey, "SettledConnection", std::string());
  clock.set(2026, 3, 15, 9, 30, 0);
  EXPECT_EQ(run({"--status"}), kHistoryOk);
  EXPECT_EQ(out.str(), "");
  // Nor one whose last tick lies after now: the clock was set back since it was written.
  clock.set(2026, 3, 15, 0, 6, 59);
  EXPECT_EQ(run({"--status"}), kHistoryOk);
  EXPECT_EQ(out.str(), "");
  clock.set(2026, 3, 14, 23, 0, 0);
  EXPECT_EQ(run({"--status"}), kHistoryOk);
  EXPECT_EQ(out.str(), "");

  // Missing tariffs are an error and are not created.
  clock.set(2026, 3, 15, 0, 7, 4);
  store.refuseWrites(false);
  store.DeleteKey(tariffKey(6));
  store.refuseWrites(true);
  EXPECT_EQ(run({"--status"}), kHistoryUnreadable);
  EXPECT_EQ(out.str(), "");
  EXPECT_FALSE(store.hasKey(tariffKey(6)));
  EXPECT_NE(err.str().find("cannot read the settings"), std::string::npos);
  std::ifstream in(folder / "Duration.tmp", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), crashFile);
}

}  // namespace
}  // namespace pelmora
