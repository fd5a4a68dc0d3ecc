#pragma once

#include "accounting/SettlementLogs.h"

namespace pelmora {

class AccountLog;
class ConnectionLog;

// The settled connection written to the real files: the summary entry to Internet.LOG, the new
// balance to Account.LOG. Write failures lose the entry silently.
class FileSettlementLogs final : public SettlementLogs {
 public:
  // Both logs must outlive this object.
  FileSettlementLogs(const ConnectionLog& connectionLog, const AccountLog& accountLog);

  void appendSummary(const std::string& durationText, const std::string& costText,
                     char unitLetter) override;
  void rewriteAccountLog(const std::string& balanceText) override;

 private:
  const ConnectionLog& m_connectionLog;
  const AccountLog& m_accountLog;
};

}  // namespace pelmora
