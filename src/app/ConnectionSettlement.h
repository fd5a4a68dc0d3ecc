#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace pelmora {

class AccountLog;
class ConnectionLog;
class DurationFile;
class Meter;
class SettingsStore;

// The outcome of the file steps after the store settled a connection.
struct FileSteps {
  bool done = true;            // Account.LOG, the summary entry and Duration.tmp all done
  std::filesystem::path file;  // when not done: the first file that could not be written
  std::error_code reason;      // and the system's reason
  std::string balanceText;     // what Account.LOG must hold
  std::string summaryLine;     // the log's summary entry
  bool crashFileKept = false;  // Duration.tmp names the settled connection until they are done
};

// The box that tells the user a settled connection's file could not be written.
std::string unfinishedFilesText(const FileSteps& steps);

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
  // connection is offered again. Once the store has committed, a file step that fails keeps
  // Duration.tmp (it names the settled connection, so finishSettled completes the steps later)
  // and is returned; nothing of the settlement is undone.
  FileSteps settle(Meter& meter, bool count, const std::string& stage,
                   bool ownsCrashFile = true) const;

  // When Duration.tmp belongs to the connection the store has already settled (at start, before
  // the account is compared with Account.LOG, or after a file step failed): rewrites Account.LOG
  // from the store, appends the summary entry unless the log ends with it, and deletes
  // Duration.tmp once both are written. Nothing when Duration.tmp is no settled connection.
  std::optional<FileSteps> finishSettled() const;
  // Tries unfinished file steps again within the run: through Duration.tmp when it names the
  // settled connection, else (the crash file could never be written) from what they held.
  FileSteps finishAgain(const FileSteps& unfinished) const;

 private:
  FileSteps finishFiles(const std::string& balanceText, const std::string& summaryLine,
                        const std::string& stage, bool ownsCrashFile) const;

  SettingsStore& m_store;
  const ConnectionLog& m_connectionLog;
  const AccountLog& m_accountLog;
  const DurationFile& m_durationFile;
};

}  // namespace pelmora
