#pragma once

namespace pelmora {

class ConnectionLog;
class ConnectionSettlement;
class DurationFile;
class Meter;
class MessageBoxes;
struct FileSteps;

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
// the stored duration; on Yes the connection is settled with its stored start hour, minute and
// weekday exactly as at a disconnect (cost, periods, account, both logs) — without the
// connection count, sound or program; on No the ignored entry is logged. A file with a field
// missing or out of range, or claiming more time than passed since its start, is never counted.
// Without a file, a connect entry a crash left open in the log is ended with a line break.
//
// A connection whose live disconnect was logged but whose settlement did not follow (the log
// holds that disconnect at the record's time) is counted as a connection, with no restored
// disconnect, and its summary entry follows its own disconnect entry. `durationFile` is either
// crash file, Duration.tmp or Waiting.tmp.
//
// Duration.tmp is deleted once the connection is settled, ignored or found damaged. A settlement
// that fails (StoreError, StoreBusy, AmountError, passed on) leaves it for the next start; file
// steps that fail after the store settled it keep it too and are told in `steps`.
//
// Unless the outcome is NothingFound the caller must make the connection monitor forget its
// last answer (ConnectionMonitor::forgetConnection), so that a link still up is metered as a
// new connection from the first poll.
RecoveryOutcome recoverCrashedConnection(const DurationFile& durationFile,
                                         const ConnectionLog& connectionLog, Meter& meter,
                                         const ConnectionSettlement& settlement,
                                         MessageBoxes& boxes, FileSteps* steps = nullptr);

}  // namespace pelmora
