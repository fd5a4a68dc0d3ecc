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
  bool done = true;                 // Account.LOG, the summary entry and the crash file all done
  std::filesystem::path file;       // when not done: the first file that could not be written
  std::error_code reason;           // and the system's reason
  std::string balanceText;          // what Account.LOG must hold
  std::string summaryLine;          // the log's summary entry
  std::string disconnectEntry;      // the log entry it follows (empty: the log's end)
  std::filesystem::path crashFile;  // names the settled connection until they are done; empty
                                    // when no crash file could be written
};

// The box that tells the user a settled connection's file could not be written.
std::string unfinishedFilesText(const FileSteps& steps);

// Settles connections so that each is counted exactly once whatever instant the process dies
// at. The store is settled first, in one unit that also records which connection it was (the
// identity of its crash file as it lies on disk); then Account.LOG gets the new balance, the log
// the summary entry right after the connection's disconnect entry, and the crash file is
// deleted. A connection has its crash file in Duration.tmp, or in Waiting.tmp when it waited for
// the store while the next one was metered. A start that finds the crash file of the connection
// the store last settled only finishes these file steps.
class ConnectionSettlement {
 public:
  ConnectionSettlement(SettingsStore& store, const ConnectionLog& connectionLog,
                       const AccountLog& accountLog, const DurationFile& durationFile,
                       const DurationFile& waitingFile);

  // Settles the meter's connection; `count` adds it to NumberD..T (a live disconnect does, a
  // recovered crash does not). `stage` names the steps for tests that stop the process there
  // ("disconnect", "recovery"). `crashFile` is the file that holds the connection (none when it
  // could not be written); `disconnectEntry` the log entry its summary follows. StoreError,
  // StoreBusy and AmountError leave the store and the files as they were, the crash file
  // included, so the connection is offered again. Once the store has committed, a file step that
  // fails keeps the crash file (it names the settled connection, so finishSettled completes the
  // steps later) and is returned; nothing of the settlement is undone.
  FileSteps settle(Meter& meter, bool count, const std::string& stage,
                   const DurationFile* crashFile, const std::string& disconnectEntry) const;

  // When Waiting.tmp or Duration.tmp belongs to the connection the store has already settled (at
  // start, before the account is compared with Account.LOG, or after a file step failed):
  // rewrites Account.LOG from the store, places the summary entry unless the log holds it after
  // the connection's disconnect, and deletes the file once both are written. Nothing when
  // neither file is the settled connection.
  std::optional<FileSteps> finishSettled() const;
  // Tries unfinished file steps again within the run: through the crash file when it names the
  // settled connection, else (no crash file could be written) from what they held.
  FileSteps finishAgain(const FileSteps& unfinished) const;

 private:
  FileSteps finishFiles(const std::string& balanceText, const std::string& summaryLine,
                        const std::string& disconnectEntry, const std::string& stage,
                        const DurationFile* crashFile) const;

  SettingsStore& m_store;
  const ConnectionLog& m_connectionLog;
  const AccountLog& m_accountLog;
  const DurationFile& m_durationFile;
  const DurationFile& m_waitingFile;
};

}  // namespace pelmora
