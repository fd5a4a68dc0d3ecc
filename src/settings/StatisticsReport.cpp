#include "settings/StatisticsReport.h"

#include <array>
#include <cstddef>
#include <utility>

#include "settings/CurrencyTable.h"
#include "settings/ReportTexts.h"
#include "settings/SettingsFilePickers.h"
#include "platform/ProgramLinks.h"
#include "platform/ProgramVersion.h"
#include "platform/ReportPrinter.h"
#include "store/ProgramOptions.h"
#include "store/SettingsStore.h"
#include "store/StoreKeys.h"
#include "store/TextFile.h"

namespace pelmora {

namespace {

constexpr std::size_t kFieldWidth = 9;
constexpr std::size_t kCentredWidth = 8;
constexpr std::size_t kFooterWidth = 56;

const std::string kDoubleRule(79, '=');
constexpr const char* kColumnHeads =
    "                        |   день   |  неделя  |  месяц   |   итог   |";
constexpr const char* kRule =
    "------------------------+----------+----------+----------+----------+----------";
constexpr const char* kCostLabel = "финансовые затраты      | ";
constexpr const char* kDurationLabel = "длительность соединений | ";
constexpr const char* kAccountLine = "состояние счёта         |          |          |          | ";

std::size_t characterCount(const std::string& text) {
  std::size_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

// The last connection's cell is not in the report.
std::string reportLine(const char* label, const std::array<std::string, 5>& row,
                       const std::string& unit) {
  std::string line = label;
  for (std::size_t i = 1; i < row.size(); ++i) line += reportCell(row[i]);
  return line + unit + kLineEnd;
}

std::string zeroPadded(int value, std::size_t width) {
  std::string text = std::to_string(value);
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text;
}

std::string dateText(const LocalTime& today) {
  return zeroPadded(today.day, 2) + "." + zeroPadded(today.month, 2) + "." +
         zeroPadded(today.year, 4);
}

}  // namespace

ReportUnits reportUnits(SettingsStore& store) {
  auto program = openKey(store, kProgramKey);
  ReportUnits units;
  switch (read(*program, options::kCurrencyFull)) {
    case 0:
      units = {"центы", "доллары"};
      break;
    case 1:
      units = {"копейки", "рубли"};
      break;
    default:
      units = {lowerText(read(*program, options::kCurrencyCustomA)),
               lowerText(read(*program, options::kCurrencyCustom))};
  }
  program->CloseKey();
  return units;
}

std::string reportCell(const std::string& text) {
  const std::size_t length = characterCount(text);
  // (8 - length) div 2 blanks before, the field's rest after; nothing around a longer text.
  const std::size_t before = length < kCentredWidth ? (kCentredWidth - length) / 2 : 0;
  const std::size_t after = length + before < kFieldWidth ? kFieldWidth - length - before : 0;
  return std::string(before, ' ') + text + std::string(after, ' ') + "| ";
}

std::string statisticsReport(const StatisticsCells& cells, const ReportUnits& units,
                             const LocalTime& today) {
  const std::string end = kLineEnd;
  std::string report = kDoubleRule + end;
  report += std::string(18, ' ') + kProgramName + " - статистика от " + dateText(today) + end;
  report += kDoubleRule + end;
  report += kColumnHeads + end;
  report += kRule + end;
  report += reportLine(kCostLabel, cells.cents, units.minor);
  report += reportLine(kCostLabel, cells.dollars, units.major);
  report += reportLine(kDurationLabel, cells.duration, "секунды");
  report += reportLine(kDurationLabel, cells.durationTime, "чч:мм:сс");
  report += kRule + end;
  report += kAccountLine + reportCell(cells.account) + units.major + end;
  report += kDoubleRule + end;
  std::string footer = kWebPageAddress;
  const std::size_t footerLength = characterCount(footer);
  if (footerLength < kFooterWidth) footer.append(kFooterWidth - footerLength, ' ');
  report += footer + kProgramName + " v" + kVersionText + end;
  return report + end;
}

std::optional<MessageBoxRequest> writeStatisticsReport(SettingsStore& store,
                                                       const StatisticsCells& cells,
                                                       const LocalTime& today,
                                                       const std::filesystem::path& file) {
  const std::string report = statisticsReport(cells, reportUnits(store), today);
  if (replaceFile(file, toFileText(report))) return std::nullopt;
  return reportNotWrittenBox(file);
}

StatisticsReports::StatisticsReports(Services services) : m_services(std::move(services)) {}

bool StatisticsReports::write(const StatisticsCells& cells, const LocalTime& today,
                              const std::filesystem::path& file) {
  const auto failure = writeStatisticsReport(m_services.store, cells, today, file);
  if (failure) m_services.boxes.show(*failure);
  return !failure;
}

void StatisticsReports::print(const StatisticsCells& cells, const LocalTime& today) {
  m_fileName = m_services.printedReport;
  if (!write(cells, today, m_fileName)) return;
  const PrintResult result = m_services.printer.print(m_fileName);
  if (result.outcome != PrintOutcome::Printed) {
    m_services.boxes.show(printFailureBox(result, m_fileName));
  }
}

void StatisticsReports::save(const StatisticsCells& cells, const LocalTime& today) {
  const auto chosen = m_services.files.saveFile(saveRequest());
  if (!chosen) return;
  m_fileName = *chosen;
  write(cells, today, m_fileName);
}

FileDialogRequest StatisticsReports::saveRequest() const {
  FileDialogRequest request;
  request.title = "Сохранение статистики в текстовый файл...";
  request.filter = dialogFilter("Текстовые файлы|*.txt|Лог-файлы|*.log|Все файлы|*.*");
  request.defaultExtension = "txt";
  request.initialDirectory = m_fileName.parent_path();
  request.initialName = pickedText(m_fileName.filename());
  return request;
}

}  // namespace pelmora
