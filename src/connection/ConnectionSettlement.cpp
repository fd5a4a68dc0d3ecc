#include "connection/ConnectionSettlement.h"

#include "connection/Meter.h"

#include "platform/DataFolder.h"
#include "platform/Failpoint.h"
#include "platform/PathText.h"
#include "store/AccountLog.h"
#include "store/ConnectionLog.h"
#include "store/DurationFile.h"
#include "store/SettingsStore.h"
#include "store/StoreKeys.h"
#include "store/StoredStatistics.h"
#include "store/ProgramOptions.h"
#include "store/TextFile.h"

namespace pelmora {

namespace {

// The identity of the crash file as it lies on disk; empty when there is none to recover.
std::string identityOnDisk(const DurationFile& file) {
  const DurationReading reading = file.read();
  return reading.status == DurationReading::Status::Read ? connectionIdentity(reading.record)
                                                         : std::string();
}

// Records the first failed step.
void noteFailure(FileSteps& steps, const std::filesystem::path& file,
                 std::error_code reason = lastFileError()) {
  if (!steps.done) return;
  steps.done = false;
  steps.file = file;
  steps.reason = reason;
}

}  // namespace

SettledConnection settleInStore(SettingsStore& store, TariffWarning& warning,
                                MeteredConnection& connection, const std::string& identity,
                                bool count, MeterDisplay* display) {
  const CostOptions& costOptions = connection.options;
  const DayTariffs day = connection.tariffs.read(store, connection.connection.weekday, warning);
  Connection ended = connection.connection;
  ConnectionCost cost = costOver(ended, day, costOptions);
  if (cost.zone == Zone::None) warning.warnOnce();
  std::string durationText = formatDuration(ended.seconds);

  auto options = openKey(store, kProgramKey);
  const bool trunc = read(*options, options::kTrunc) == 1;
  const char unitLetter = read(*options, options::kCurrencyFull) == 0 ? 'c' : 'k';
  options->CloseKey();
  if (trunc) {
    ended.seconds = roundUpToMinute(ended.seconds);
    durationText = minutesText(ended.seconds);
    cost = costOver(ended, day, costOptions);
  }
  if (display != nullptr) {
    display->showDuration(durationText);
    display->showCost(cost.displayText + "   ");
  }

  SettledConnection settled;
  settled.seconds = ended.seconds;
  settled.durationText = durationText;
  settled.cost = cost;
  settled.summaryLine = summaryLineText(durationText, cost.costText, unitLetter);
  store.Atomically([&] {
    auto program = openKey(store, kProgramKey);
    write(*program, options::kSeconds, settled.seconds);
    addToPeriods(*program, settled.seconds, cost.cost, cost.costText, costOptions.separator);
    settled.balanceText = drawFromAccount(*program, cost.cost, costOptions.separator);
    if (count) countConnection(*program);
    write(*program, options::kSettledConnection, identity);
    write(*program, options::kSettledSummary, settled.summaryLine);
    program->CloseKey();
  });
  return settled;
}

std::string unfinishedFilesText(const FileSteps& steps) {
  std::string text = "Соединение засчитано, но не удалось записать файл:\n" +
                     fullPathText(steps.file) + "\nПричина: " + reasonText(steps.reason) + ".\n\n";
  if (!steps.crashFile.empty()) {
    return text +
           "Файл защиты от сбоев сохранён: программа допишет файлы, как только запись "
           "станет возможной, или при следующем запуске.";
  }
  return text +
         "Программа допишет файлы, как только запись станет возможной; до этого не "
         "закрывайте её.";
}

ConnectionSettlement::ConnectionSettlement(SettingsStore& store, const ConnectionLog& connectionLog,
                                           const AccountLog& accountLog,
                                           const DurationFile& durationFile,
                                           const DurationFile& waitingFile, TariffWarning& warning)
    : m_store(store),
      m_connectionLog(connectionLog),
      m_accountLog(accountLog),
      m_durationFile(durationFile),
      m_waitingFile(waitingFile),
      m_warning(warning) {}

FileSteps ConnectionSettlement::settle(MeteredConnection& connection, bool count,
                                       const std::string& stage, const DurationFile* crashFile,
                                       const std::string& disconnectEntry,
                                       MeterDisplay* display) const {
  const std::string identity = crashFile ? identityOnDisk(*crashFile) : std::string();
  const SettledConnection settled =
      settleInStore(m_store, m_warning, connection, identity, count, display);
  failpoint((stage + ":committed").c_str());
  FileSteps steps = finishFiles(settled.balanceText, settled.summaryLine, disconnectEntry, stage,
                                identity.empty() ? nullptr : crashFile);
  return steps;
}

std::optional<FileSteps> ConnectionSettlement::finishSettled() const {
  // The older connection first: Waiting.tmp holds one that ended before Duration.tmp's.
  for (const DurationFile* file : {&m_waitingFile, &m_durationFile}) {
    const DurationReading reading = file->read();
    if (reading.status != DurationReading::Status::Read) continue;
    auto program = openKey(m_store, kProgramKey);
    const std::string settled = read(*program, options::kSettledConnection);
    const std::string summary = read(*program, options::kSettledSummary);
    const std::string balance = read(*program, options::kAccount);
    program->CloseKey();
    if (settled != connectionIdentity(reading.record)) continue;
    return finishFiles(balance, summary, ConnectionLog::disconnectEntry(reading.record), "finish",
                       file);
  }
  return std::nullopt;
}

FileSteps ConnectionSettlement::finishAgain(const FileSteps& unfinished) const {
  if (std::optional<FileSteps> steps = finishSettled()) return *steps;
  return finishFiles(unfinished.balanceText, unfinished.summaryLine, unfinished.disconnectEntry,
                     "finish", nullptr);
}

FileSteps ConnectionSettlement::finishFiles(const std::string& balanceText,
                                            const std::string& summaryLine,
                                            const std::string& disconnectEntry,
                                            const std::string& stage,
                                            const DurationFile* crashFile) const {
  FileSteps steps;
  steps.balanceText = balanceText;
  steps.summaryLine = summaryLine;
  steps.disconnectEntry = disconnectEntry;
  if (!m_accountLog.rewrite(balanceText)) noteFailure(steps, m_accountLog.path());
  failpoint((stage + ":account-log").c_str());
  if (!m_connectionLog.placeSummary(summaryLine, disconnectEntry)) {
    noteFailure(steps, m_connectionLog.path());
  }
  failpoint((stage + ":summary").c_str());
  // Until both files hold the settlement, the crash file keeps naming it: a later write or the
  // next start finishes the steps instead of asking about the balance.
  if (crashFile != nullptr) {
    if (!steps.done) {
      steps.crashFile = crashFile->path();
    } else if (const std::error_code ec = crashFile->remove()) {
      noteFailure(steps, crashFile->path(), ec);
      steps.crashFile = crashFile->path();
    }
  }
  failpoint((stage + ":deleted").c_str());
  return steps;
}

}  // namespace pelmora
