#include "app/ConnectionSettlement.h"

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
  return "Соединение засчитано, но не удалось записать файл:\n" + fullPathText(steps.file) +
         "\nПричина: " + reasonText(steps.reason) +
         ".\n\nФайл Duration.tmp сохранён: программа допишет файлы, как только запись станет "
         "возможной, или при следующем запуске.";
}

ConnectionSettlement::ConnectionSettlement(SettingsStore& store, const ConnectionLog& connectionLog,
                                           const AccountLog& accountLog,
                                           const DurationFile& durationFile)
    : m_store(store),
      m_connectionLog(connectionLog),
      m_accountLog(accountLog),
      m_durationFile(durationFile) {}

FileSteps ConnectionSettlement::settle(Meter& meter, bool count, const std::string& stage,
                                       bool ownsCrashFile) const {
  const std::string identity = ownsCrashFile ? identityOnDisk(m_durationFile) : std::string();
  const SettledConnection settled = meter.closeConnection(identity, count);
  failpoint((stage + ":committed").c_str());
  FileSteps steps = finishFiles(settled.balanceText, settled.summaryLine, stage, ownsCrashFile);
  steps.crashFileKept = !steps.done && !identity.empty();
  return steps;
}

std::optional<FileSteps> ConnectionSettlement::finishSettled() const {
  const std::string onDisk = identityOnDisk(m_durationFile);
  if (onDisk.empty()) return std::nullopt;
  auto program = openKey(m_store, kProgramKey);
  const std::string settled = read(*program, options::kSettledConnection);
  const std::string summary = read(*program, options::kSettledSummary);
  const std::string balance = read(*program, options::kAccount);
  program->CloseKey();
  if (settled != onDisk) return std::nullopt;
  FileSteps steps = finishFiles(balance, summary, "finish", true);
  steps.crashFileKept = !steps.done;
  return steps;
}

FileSteps ConnectionSettlement::finishAgain(const FileSteps& unfinished) const {
  if (std::optional<FileSteps> steps = finishSettled()) return *steps;
  return finishFiles(unfinished.balanceText, unfinished.summaryLine, "finish", false);
}

FileSteps ConnectionSettlement::finishFiles(const std::string& balanceText,
                                            const std::string& summaryLine,
                                            const std::string& stage, bool ownsCrashFile) const {
  FileSteps steps;
  steps.balanceText = balanceText;
  steps.summaryLine = summaryLine;
  if (!m_accountLog.rewrite(balanceText)) noteFailure(steps, m_accountLog.path());
  failpoint((stage + ":account-log").c_str());
  if (!m_connectionLog.endsWithSummary(summaryLine)) {
    // The disconnect line a full disk refused leaves the connect line open.
    const bool lineOpen = m_connectionLog.endsInsideConnectEntry();
    if ((lineOpen && !m_connectionLog.appendLineEnd()) ||
        !m_connectionLog.appendSummary(summaryLine)) {
      noteFailure(steps, m_connectionLog.path());
    }
  }
  failpoint((stage + ":summary").c_str());
  // Until both files hold the settlement, Duration.tmp keeps naming it: a later write or the
  // next start finishes the steps instead of asking about the balance.
  if (ownsCrashFile && steps.done) {
    if (const std::error_code ec = m_durationFile.remove()) {
      noteFailure(steps, m_durationFile.path(), ec);
    }
  }
  failpoint((stage + ":deleted").c_str());
  return steps;
}

}  // namespace pelmora
