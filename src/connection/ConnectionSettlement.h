#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "accounting/Connection.h"

namespace pelmora {

class AccountLog;
class ConnectionLog;
class DurationFile;
class MeterDisplay;
class SettingsStore;
class TariffWarning;
struct MeteredConnection;

// What a settled connection leaves for the files, and its final figures.
struct SettledConnection {
  std::string balanceText;   // the new Account, for Account.LOG
  std::string summaryLine;   // the connection log's summary entry, without its line ends
  std::int32_t seconds = 0;  // as written to Seconds, rounded up when Trunc is 1
  std::string durationText;  // as pTime shows it
  ConnectionCost cost;       // as written to Cents
};

// The store's part of a settlement. The connection is priced as its metering prices it: over
// its weekday's tariffs read afresh (ConnectionTariffs: the read error is told once per
// connection, the tariffs last read stand, StoreError without any) and the no-tariff warning for
// a moment without zone. Then it is rounded up to whole minutes when Trunc is 1 (read only), its
// final figures are shown on `display` when given (the panels that still show this connection),
// and in one unit of the store go Seconds, the statistics periods, the account, the connection
// count when `count` is set, and the record of which connection this was (`identity`,
// SettledConnection, with its summary entry, SettledSummary). StoreError, StoreBusy or
// AmountError leave the store as it was.
SettledConnection settleInStore(SettingsStore& store, TariffWarning& warning,
                                MeteredConnection& connection, const std::string& identity,
                                bool count, MeterDisplay* display);

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
  // The warning tells about the tariffs that price a connection (see settleInStore).
  ConnectionSettlement(SettingsStore& store, const ConnectionLog& connectionLog,
                       const AccountLog& accountLog, const DurationFile& durationFile,
                       const DurationFile& waitingFile, TariffWarning& warning);

  // Settles the connection (settleInStore, then the files); `count` adds it to NumberD..T (a live
  // disconnect does, a recovered crash does not). `stage` names the steps for tests that stop the
  // process there ("disconnect", "recovery"). `display` shows its final figures; none while
  // another connection is metered. `crashFile` is the file that holds the connection (none when it
  // could not be written); `disconnectEntry` the log entry its summary follows. StoreError,
  // StoreBusy and AmountError leave the store and the files as they were, the crash file
  // included, so the connection is offered again. Once the store has committed, a file step that
  // fails keeps the crash file (it names the settled connection, so finishSettled completes the
  // steps later) and is returned; nothing of the settlement is undone.
  FileSteps settle(MeteredConnection& connection, bool count, const std::string& stage,
                   const DurationFile* crashFile, const std::string& disconnectEntry,
                   MeterDisplay* display) const;

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
  TariffWarning& m_warning;
};

}  // namespace pelmora
