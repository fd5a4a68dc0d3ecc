#pragma once

namespace pelmora {

class ConnectionLog;
class DurationFile;
class Meter;
class MessageBoxes;
class SettlementLogs;

// What the crash recovery found and did.
enum class RecoveryOutcome {
  NothingFound,  // no Duration.tmp: the last run ended normally
  Counted,       // the user counted the cut connection
  Ignored,       // the user declined; the ignored entry was logged
  Damaged,       // the file could not be read; the user was told, the ignored entry logged
};

// At start, after the statistics periods were rolled over: offers a connection that a crash cut
// off for counting, from what the last protector tick wrote to Duration.tmp.
//
// The connection log gets the restored disconnect (the time of the last tick); the meter shows
// the stored duration; on Yes the meter settles the connection with its stored start hour,
// minute and weekday exactly as at a disconnect (cost, periods, account, both logs) — without
// the connection count, sound or program; on No the ignored entry is logged. A file with a
// field missing or out of range is never counted.
//
// Duration.tmp is deleted in every case, also when settling throws (StoreError, AmountError are
// passed on): a half-settled connection must not be offered again.
//
// Unless the outcome is NothingFound the caller must make the connection monitor forget its
// last answer (ConnectionMonitor::forgetConnection), so that a link still up is metered as a
// new connection from the first poll.
RecoveryOutcome recoverCrashedConnection(const DurationFile& durationFile,
                                         const ConnectionLog& connectionLog, Meter& meter,
                                         SettlementLogs& settlementLogs, MessageBoxes& boxes);

}  // namespace pelmora
