#include "connection/ConnectionSettlement.h"

#include "accounting/Meter.h"
#include "platform/DataFolder.h"
#include "platform/Failpoint.h"
#include "platform/PathText.h"
#include "store/AccountLog.h"
#include "store/ConnectionLog.h"
#include "store/DurationFile.h"
#include "store/SettingsStore.h"
#include "store/StoreKeys.h"
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
                                           const DurationFile& waitingFile)
    : m_store(store),
      m_connectionLog(connectionLog),
      m_accountLog(accountLog),
      m_durationFile(durationFile),
      m_waitingFile(waitingFile) {}

FileSteps ConnectionSettlement::settle(Meter& meter, bool count, const std::string& stage,
                                       const DurationFile* crashFile,
                                       const std::string& disconnectEntry) const {
  const std::string identity = crashFile ? identityOnDisk(*crashFile) : std::string();
  const SettledConnection settled = meter.closeConnection(identity, count);
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
