#include "history/HistoryTool.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "accounting/AccountingStore.h"
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
  void atomically(const std::function<void()>& steps) override { store.atomically(steps); }
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

  int run(const std::vector<std::string>& arguments) {
    out.str("");
    err.str("");
    const HistoryToolContext context{out, err, DataFolder(folder), clock, [this] {
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
};

TEST_F(HistoryToolTest, DatesAreInclusiveOnTheStartAndArgumentsAreChecked) {
  put("Internet.LOG",
      "28.02.2026 23:59:00 - Connected\r\n"
      "01.03.2026 00:01:00 - DisConnected\r\n"
      "         = 00:02:00 + [2c]\r\n\r\n"
      "damaged\r\n"
      "02.03.2026 08:00:00 - Connected\r\n"
      "02.03.2026 08:00:00 - Canceled\r\n\r\n");
  const std::string header = "start,end,seconds,cost,unit,restored,cancelled\r\n";
  const std::string feb = "2026-02-28T23:59:00,2026-03-01T00:01:00,120,2,c,0,0\r\n";
  const std::string mar = "2026-03-02T08:00:00,2026-03-02T08:00:00,,,,0,1\r\n";

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
            "{\"start\":\"2026-02-28T23:59:00\",\"end\":\"2026-03-01T00:01:00\",\"seconds\":120,"
            "\"cost\":\"2\",\"unit\":\"c\",\"restored\":false,\"cancelled\":false}\n");

  for (const std::vector<std::string>& wrong :
       std::vector<std::vector<std::string>>{{"--since"},
                                             {"--since", "2026-02-30"},
                                             {"--until=yesterday"},
                                             {"--csv"},
                                             {"a.log", "b.log"},
                                             {"--status", "--json"},
                                             {"--status", "Internet.LOG"}}) {
    EXPECT_EQ(run(wrong), kHistoryBadArguments) << wrong[0];
    EXPECT_EQ(out.str(), "");
  }
  EXPECT_EQ(run({utf8Path(folder / "missing.LOG")}), kHistoryUnreadable);
  EXPECT_EQ(run({utf8Path(folder)}), kHistoryUnreadable);
  EXPECT_EQ(run({"--help"}), kHistoryOk);
  EXPECT_NE(out.str().find("--status"), std::string::npos);
  EXPECT_EQ(storeOpened, 0);
}

TEST_F(HistoryToolTest, StatusPricesTheRunningConnectionFromTheStoreWithoutWritingIt) {
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
