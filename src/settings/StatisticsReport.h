#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "settings/StatisticsTab.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"

namespace pelmora {

class ReportPrinter;
class SettingsStore;

// The names of the two currency units at the end of the report's cost and account lines.
struct ReportUnits {
  std::string minor;  // "центы", "копейки" or the custom minor unit in lower case
  std::string major;  // "доллары", "рубли" or the custom major unit in lower case
};

// The units by CurrencyFull: 0 dollars, 1 rubles, anything else the custom names
// (CurrencyCustomA, CurrencyCustom) in lower case. StoreError passes on.
ReportUnits reportUnits(SettingsStore& store);

// AppendReportCell: one cell of a report line, a 9-character field and "| ". A text of up to 9
// characters is centred in the field, (8 - length) / 2 blanks before it, the rest after (an
// empty cell is blanks alone). A longer text is written whole with no blanks, so only the rest
// of its own line moves right, by length - 9 characters. Lengths count characters, not bytes.
std::string reportCell(const std::string& text);

// The whole report of the cells as the tab shows them, dated today: fixed lines of up to 79
// characters, each ended by "\r\n", the last one empty. Program text (UTF-8).
std::string statisticsReport(const StatisticsCells& cells, const ReportUnits& units,
                             const LocalTime& today);

// WriteStatisticsReport: the report, with the units read from the store now, created anew in
// `file` through the program's text-file writer (CR LF, the platform's text encoding). Nothing
// when it was written; otherwise the box that says which file could not be written (the file
// keeps its previous content). StoreError passes on before anything is written.
std::optional<MessageBoxRequest> writeStatisticsReport(SettingsStore& store,
                                                       const StatisticsCells& cells,
                                                       const LocalTime& today,
                                                       const std::filesystem::path& file);

// The tab's two report buttons without widgets. The save dialog's file name lives here for the
// run: empty at first, then the last file saved to or printed.
class StatisticsReports {
 public:
  struct Services {
    SettingsStore& store;
    MessageBoxes& boxes;
    FileDialogs& files;
    ReportPrinter& printer;
    std::filesystem::path printedReport;  // the fixed file that printing writes and prints
  };

  explicit StatisticsReports(Services services);

  // bPrintClick: the report into the fixed file, which then goes to the printer. A file that
  // cannot be written is reported and nothing is printed; a printing failure is reported in the
  // system's terms. StoreError passes on.
  void print(const StatisticsCells& cells, const LocalTime& today);

  // bSaveClick: asks for a file and writes the report there; cancelling writes nothing. A file
  // that cannot be written is reported. StoreError passes on.
  void save(const StatisticsCells& cells, const LocalTime& today);

  // The save dialog, proposing the last file name.
  FileDialogRequest saveRequest() const;
  const std::filesystem::path& fileName() const { return m_fileName; }

 private:
  // Writes the report into the file; false after showing why it could not.
  bool write(const StatisticsCells& cells, const LocalTime& today,
             const std::filesystem::path& file);

  Services m_services;
  std::filesystem::path m_fileName;
};

}  // namespace pelmora
