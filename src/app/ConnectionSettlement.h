#pragma once

#include <string>

namespace pelmora {

class AccountLog;
class ConnectionLog;
class DurationFile;
class Meter;
class SettingsStore;

// Settles connections so that each is counted exactly once whatever instant the process dies
// at. The store is settled first, in one unit that also records which connection it was (the
// identity of Duration.tmp as it lies on disk); then Account.LOG gets the new balance, the log
// the summary entry, and Duration.tmp is deleted. A start that finds Duration.tmp of the
// connection the store last settled only finishes these file steps.
class ConnectionSettlement {
 public:
  ConnectionSettlement(SettingsStore& store, const ConnectionLog& connectionLog,
                       const AccountLog& accountLog, const DurationFile& durationFile);

  // Settles the meter's connection; `count` adds it to NumberD..T (a live disconnect does, a
  // recovered crash does not). `stage` names the steps for tests that stop the process there
  // ("disconnect", "recovery"). Without `ownsCrashFile` (Duration.tmp holds another connection
  // still waiting) the file is neither recorded nor deleted. StoreError, StoreBusy and
  // AmountError leave the store and the files as they were, Duration.tmp included, so the
  // connection is offered again.
  void settle(Meter& meter, bool count, const std::string& stage, bool ownsCrashFile = true) const;

  // At start, before the account is compared with Account.LOG: when Duration.tmp belongs to the
  // connection the store has already settled, rewrites Account.LOG from the store, appends the
  // summary entry unless the log ends with it, and deletes Duration.tmp. True when it did.
  bool finishSettled() const;

 private:
  void finishFiles(const std::string& balanceText, const std::string& summaryLine,
                   const std::string& stage, bool ownsCrashFile) const;

  SettingsStore& m_store;
  const ConnectionLog& m_connectionLog;
  const AccountLog& m_accountLog;
  const DurationFile& m_durationFile;
};

}  // namespace pelmora
