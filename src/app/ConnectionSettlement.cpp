#include "app/ConnectionSettlement.h"

#include "accounting/Meter.h"
#include "platform/Failpoint.h"
#include "store/AccountLog.h"
#include "store/ConnectionLog.h"
#include "store/DurationFile.h"
#include "store/SettingsStore.h"
#include "store/StoreKeys.h"
#include "store/ProgramOptions.h"

namespace pelmora {

namespace {

// The identity of the crash file as it lies on disk; empty when there is none to recover.
std::string identityOnDisk(const DurationFile& file) {
  const DurationReading reading = file.read();
  return reading.status == DurationReading::Status::Read ? connectionIdentity(reading.record)
                                                         : std::string();
}

}  // namespace

ConnectionSettlement::ConnectionSettlement(SettingsStore& store, const ConnectionLog& connectionLog,
                                           const AccountLog& accountLog,
                                           const DurationFile& durationFile)
    : m_store(store),
      m_connectionLog(connectionLog),
      m_accountLog(accountLog),
      m_durationFile(durationFile) {}

void ConnectionSettlement::settle(Meter& meter, bool count, const std::string& stage,
                                  bool ownsCrashFile) const {
  const std::string identity = ownsCrashFile ? identityOnDisk(m_durationFile) : std::string();
  const SettledConnection settled = meter.closeConnection(identity, count);
  failpoint((stage + ":committed").c_str());
  finishFiles(settled.balanceText, settled.summaryLine, stage, ownsCrashFile);
}

bool ConnectionSettlement::finishSettled() const {
  const std::string onDisk = identityOnDisk(m_durationFile);
  if (onDisk.empty()) return false;
  auto program = openKey(m_store, kProgramKey);
  const std::string settled = read(*program, options::kSettledConnection);
  const std::string summary = read(*program, options::kSettledSummary);
  const std::string balance = read(*program, options::kAccount);
  program->CloseKey();
  if (settled != onDisk) return false;
  finishFiles(balance, summary, "finish", true);
  return true;
}

void ConnectionSettlement::finishFiles(const std::string& balanceText,
                                       const std::string& summaryLine, const std::string& stage,
                                       bool ownsCrashFile) const {
  m_accountLog.rewrite(balanceText);
  failpoint((stage + ":account-log").c_str());
  if (!m_connectionLog.endsWithSummary(summaryLine)) m_connectionLog.appendSummary(summaryLine);
  failpoint((stage + ":summary").c_str());
  if (ownsCrashFile) m_durationFile.remove();
  failpoint((stage + ":deleted").c_str());
}

}  // namespace pelmora
