#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "accounting/AmountText.h"
#include "settings/SettingsFilePickers.h"
#include "settings/StatisticsReport.h"
#include "settings/StatisticsTab.h"
#include "platform/ProgramLinks.h"
#include "platform/ReportPrinter.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "store/StoreProcedures.h"
#include "store/TextFile.h"
#include "support/Doubles.h"
#include "support/MemorySettingsStore.h"
#include "support/TemporaryFolder.h"
#include "support/RecordingMessageBoxes.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using testing::MemorySettingsStore;

// Prints nothing; remembers the files and gives the answer it was set.
struct RecordingPrinter final : ReportPrinter {
  PrintResult print(const fs::path& file) override {
    printed.push_back(file);
    return answer;
  }
  PrintResult answer;
  std::vector<fs::path> printed;
};

// Answers every save dialog with `chosen` (nothing: Cancel) and keeps the requests.
struct RecordingDialogs final : FileDialogs {
  std::optional<fs::path> openFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<fs::path> saveFile(const FileDialogRequest& request) override {
    requests.push_back(request);
    return chosen;
  }
  std::optional<fs::path> chosen;
  std::vector<FileDialogRequest> requests;
};

class StatisticsTest : public ::testing::Test {
 protected:
  StatisticsTest() {
    writeMissingDefaults(store, testing::FixedScreen());
    set("Account", "25");
  }

  void set(const char* name, MemorySettingsStore::Value value) {
    store.set(kProgramKey, name, std::move(value));
  }
  void refresh(int day = 10) { refreshStatistics(store, day, ',', cells); }

  // The counters of a month with a few connections, all in dollars.
  void storeExampleCounters() {
    const char* cents[] = {"Cents", "CentsD", "CentsW", "CentsM", "CentsT"};
    const char* centsValues[] = {"50", "100", "1200", "4800", "12300"};
    const char* seconds[] = {"Seconds", "SecondsD", "SecondsW", "SecondsM", "SecondsT"};
    const std::int32_t secondsValues[] = {300, 600, 7200, 36000, 200000};
    for (int i = 0; i < 5; ++i) {
      set(cents[i], centsValues[i]);
      set(seconds[i], secondsValues[i]);
    }
  }

  MemorySettingsStore store;
  StatisticsCells cells;
};

TEST_F(StatisticsTest, RefreshShowsTheCountersCutToTheirCells) {
  refresh();
  EXPECT_EQ(cells.cents[3], "0");
  EXPECT_EQ(cells.durationTime[4], "00:00:00");
  EXPECT_FALSE(cells.clearEnabled);  // every cost and duration "0"

  set("CentsM", "1234.5");  // written before the locale's separator changed
  set("CentsT", "12345678,9012");
  set("Cents", "0,005");
  set("SecondsT", 360000);
  set("SecondsW", 3599);
  set("NumberT", 42);
  set("Account", "-123456,78");
  refresh();
  EXPECT_EQ(cells.account, "-123456,");
  EXPECT_EQ(cells.cents[3], "1234.5");  // as stored
  EXPECT_EQ(cells.dollars[3], "12,345");
  EXPECT_EQ(cells.cents[4], "12345678");
  EXPECT_EQ(cells.dollars[4], "123456,7");
  EXPECT_EQ(cells.dollars[0], "5E-5");
  EXPECT_EQ(cells.durationTime[4], "100:00:00");
  EXPECT_EQ(cells.durationTime[2], "00:59:59");
  EXPECT_EQ(cells.number, (std::array<std::string, 4>{"0", "0", "0", "42"}));
  EXPECT_TRUE(cells.clearEnabled);

  // Only the ten cost and seconds cells count for bClear.
  set("CentsM", "0");
  set("CentsT", "0");
  set("Cents", "0");
  set("SecondsW", 0);
  set("SecondsT", 0);
  refresh();
  EXPECT_FALSE(cells.clearEnabled);
  set("SecondsD", 1);
  refresh();
  EXPECT_TRUE(cells.clearEnabled);
}

TEST_F(StatisticsTest, IndicatorsJudgeInSinglePrecision) {
  const std::vector<std::pair<const char*, Indicator>> balances{
      {"1,51", Indicator::Green},
      {"1,5", Indicator::Yellow},
      {"1,50000001", Indicator::Yellow},  // 1.5 as a float
      {"1", Indicator::Red}};
  for (const auto& [balance, colour] : balances) {
    set("Account", balance);
    refresh();
    EXPECT_EQ(cells.accountIndicator, colour) << balance;
  }

  // On the 10th, 310 a month is a budget of 100 so far.
  set("MaxCents", 310);
  const std::vector<std::pair<const char*, Indicator>> spending{{"99", Indicator::Green},
                                                                {"99,5", Indicator::Yellow},
                                                                {"100", Indicator::Yellow},
                                                                {"101", Indicator::Red}};
  for (const auto& [spent, colour] : spending) {
    set("CentsM", spent);
    refresh(10);
    EXPECT_EQ(cells.spendingIndicator, colour) << spent;
  }
  refresh(11);
  EXPECT_EQ(cells.spendingIndicator, Indicator::Green);  // 101 of 110

  set("MaxCents", 0);
  set("CentsM", "0");
  refresh(31);
  EXPECT_EQ(cells.spendingIndicator, Indicator::Yellow);
  set("CentsM", "0,01");
  refresh(31);
  EXPECT_EQ(cells.spendingIndicator, Indicator::Red);
}

TEST_F(StatisticsTest, AFailingValueStopsTheRefreshWithTheEarlierCellsFilled) {
  storeExampleCounters();
  set("CentsW", "12 34");
  EXPECT_THROW(refresh(), AmountError);
  EXPECT_EQ(cells.cents[4], "12300");
  EXPECT_EQ(cells.dollars[1], "1");
  EXPECT_EQ(cells.dollars[2], "");  // stopped here
  EXPECT_EQ(cells.duration[0], "");
  EXPECT_TRUE(cells.clearEnabled);  // untouched

  set("CentsW", "1200");
  store.erase(kProgramKey, "NumberM");
  set("Account", "7");
  EXPECT_THROW(refresh(), StoreError);
  EXPECT_EQ(cells.account, "7");
  EXPECT_EQ(cells.number[1], "0");
}

TEST_F(StatisticsTest, ReportLaysTheCellsOutInFixedColumns) {
  storeExampleCounters();
  refresh();
  const ReportUnits dollars = reportUnits(store);
  const std::string report = statisticsReport(cells, dollars, {2003, 3, 1});
  const std::string rule(79, '=');
  std::string footer = kWebPageAddress;
  footer.resize(std::max<std::size_t>(footer.size(), 56), ' ');
  const std::string expected =
      rule + "\r\n" + "                  Pelmora - статистика от 01.03.2003\r\n" + rule + "\r\n" +
      "                        |   день   |  неделя  |  месяц   |   итог   |\r\n"
      "------------------------+----------+----------+----------+----------+----------\r\n"
      "финансовые затраты      |   100    |   1200   |   4800   |  12300   | центы\r\n"
      "финансовые затраты      |    1     |    12    |    48    |   123    | доллары\r\n"
      "длительность соединений |   600    |   7200   |  36000   |  200000  | секунды\r\n"
      "длительность соединений | 00:10:00 | 02:00:00 | 10:00:00 | 55:33:20 | чч:мм:сс\r\n"
      "------------------------+----------+----------+----------+----------+----------\r\n"
      "состояние счёта         |          |          |          |    25    | доллары\r\n" +
      rule + "\r\n" + footer + "Pelmora v2.4\r\n\r\n";
  EXPECT_EQ(report, expected);

  // Every cell keeps its column: nine characters fill the field, an empty one is blanks; only
  // a longer text pushes the rest of its own line.
  EXPECT_EQ(reportCell("100:00:00"), "100:00:00| ");
  EXPECT_EQ(reportCell(""), "         | ");
  EXPECT_EQ(reportCell("1000:00:00"), "1000:00:00| ");
  cells.durationTime[4] = "100:00:00";
  cells.duration[2] = "";
  const std::string wide = statisticsReport(cells, dollars, {2003, 3, 1});
  EXPECT_NE(wide.find("\r\nдлительность соединений |   600    |          |  36000   |  200000  | "
                      "секунды\r\n"),
            std::string::npos);
  EXPECT_NE(wide.find("| 10:00:00 | 100:00:00| чч:мм:сс\r\n"), std::string::npos);

  set("CurrencyFull", 1);
  EXPECT_EQ(reportUnits(store).minor, "копейки");
  EXPECT_EQ(reportUnits(store).major, "рубли");
  set("CurrencyFull", 2);
  set("CurrencyCustom", "ЁЖИКИ-Z");
  EXPECT_EQ(reportUnits(store).minor, "тугрики");
  EXPECT_EQ(reportUnits(store).major, "ёжики-z");
}

TEST_F(StatisticsTest, PrintingAndSavingWriteTheFileOrSayWhyNot) {
  const testing::TemporaryFolder scratch;
  const fs::path& folder = scratch.path();
  testing::RecordingMessageBoxes boxes;
  RecordingDialogs dialogs;
  RecordingPrinter printer;
  storeExampleCounters();
  refresh();
  const LocalTime today{2003, 3, 1};
  const std::string fileText = toFileText(statisticsReport(cells, reportUnits(store), today));

  // A report that cannot be written is said so, naming the file, and not printed.
  StatisticsReports lost({store, boxes, dialogs, printer, folder / "gone" / "Pelmora.TxT"});
  lost.print(cells, today);
  EXPECT_TRUE(printer.printed.empty());
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
  EXPECT_NE(boxes.shown[0].text.find(pickedText(folder / "gone" / "Pelmora.TxT")),
            std::string::npos);

  const fs::path fixed = folder / "Pelmora.TxT";
  StatisticsReports reports({store, boxes, dialogs, printer, fixed});
  EXPECT_EQ(reports.saveRequest().title, "Сохранение статистики в текстовый файл...");
  EXPECT_EQ(reports.saveRequest().filter,
            "Текстовые файлы (*.txt);;Лог-файлы (*.log);;Все файлы (*.*)");
  EXPECT_EQ(reports.saveRequest().initialName, "");

  boxes.shown.clear();
  reports.print(cells, today);
  EXPECT_EQ(testing::fileContent(fixed), fileText);
  EXPECT_EQ(printer.printed, std::vector<fs::path>{fixed});
  EXPECT_TRUE(boxes.shown.empty());
  printer.answer = {PrintOutcome::NoPrintCommand, {}};
  reports.print(cells, today);
  printer.answer = {PrintOutcome::Failed, "lp: Error - no default destination available."};
  reports.print(cells, today);
  ASSERT_EQ(boxes.shown.size(), 2u);
  for (const MessageBoxRequest& box : boxes.shown) {
    EXPECT_EQ(box.title, "Ошибка при запуске команды \"печать\".");
    EXPECT_EQ(box.icon, MessageIcon::Error);
    EXPECT_NE(box.text.find("вручную."), std::string::npos) << box.text;
  }
  EXPECT_NE(boxes.shown[0].text, boxes.shown[1].text);  // no print command, another failure
  EXPECT_EQ(boxes.shown[1].text.find(".."), std::string::npos)
      << boxes.shown[1].text;  // the print command's own full stop, no second one

  // After a print the save dialog proposes the printed file; Cancel writes nothing.
  const fs::path chosen = folder / fs::path(u8"март.log");
  reports.save(cells, today);
  EXPECT_EQ(dialogs.requests.back().initialDirectory, folder);
  EXPECT_EQ(dialogs.requests.back().initialName, "Pelmora.TxT");
  EXPECT_FALSE(fs::exists(chosen));
  dialogs.chosen = chosen;
  reports.save(cells, today);
  EXPECT_EQ(testing::fileContent(chosen), fileText);
  EXPECT_EQ(reports.fileName(), chosen);
  EXPECT_EQ(printer.printed.size(), 3u);

  boxes.shown.clear();
  dialogs.chosen = folder / "gone" / fs::path(u8"март.txt");
  reports.save(cells, today);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_NE(boxes.shown[0].text.find(pickedText(*dialogs.chosen)), std::string::npos);
}

}  // namespace
}  // namespace pelmora
