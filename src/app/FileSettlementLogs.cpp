#include "app/FileSettlementLogs.h"

#include "store/AccountLog.h"
#include "store/ConnectionLog.h"

namespace pelmora {

FileSettlementLogs::FileSettlementLogs(const ConnectionLog& connectionLog,
                                       const AccountLog& accountLog)
    : m_connectionLog(connectionLog), m_accountLog(accountLog) {}

void FileSettlementLogs::appendSummary(const std::string& durationText, const std::string& costText,
                                       char unitLetter) {
  m_connectionLog.appendSummary(summaryLineText(durationText, costText, unitLetter));
}

void FileSettlementLogs::rewriteAccountLog(const std::string& balanceText) {
  m_accountLog.rewrite(balanceText);
}

}  // namespace pelmora
