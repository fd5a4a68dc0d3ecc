#pragma once

#include <string>
#include <utility>

#include "connection/ConnectionSettlement.h"
#include "connection/CrashRecovery.h"

namespace pelmora {

class AccountLog;
class Clock;
class ConnectionLog;
class DurationFile;
class Meter;
class MessageBoxes;
class Screen;
class ConnectionSettlement;
class SettingsStore;

// What the start-up found, for the window to act on.
struct StartupResult {
  bool defaultsWritten = false;     // a first run, or values had gone missing
  bool tariffsIncomplete = false;   // the tariff week was rewritten with the defaults
  bool settlementFinished = false;  // a settled connection's files were brought up to date
  bool showWindow = false;          // ShowOnStart is 1, or defaults were written
  RecoveryOutcome recovery = RecoveryOutcome::NothingFound;
  // A settled connection's file steps could not be completed: Duration.tmp still names it, the
  // account was not compared and nothing was offered for counting.
  FileSteps unfinished;
};

// The store, files and counters brought up to date before the first poll, in a fixed order:
// leftover temporary files removed, version check, missing defaults, tariff week, version
// stamp, log header, the file steps of a settlement a crash interrupted, account
// synchronisation, launch counter, period resets and the start date, the last connection's
// values cleared, crash recovery. A store error abandons the remaining steps and is passed on.
// A busy store stops it like any store error; the program runs it again from its beginning.
class StartupSequence {
 public:
  struct Context {
    SettingsStore& store;
    const Screen& screen;
    const Clock& clock;
    std::string executable;  // this program, for the autostart entry
    const ConnectionLog& connectionLog;
    const AccountLog& accountLog;
    const DurationFile& durationFile;
    const DurationFile& waitingFile;
    Meter& meter;
    const ConnectionSettlement& settlement;
    MessageBoxes& boxes;
  };

  explicit StartupSequence(Context context) : m_context(std::move(context)) {}

  StartupResult run();

 private:
  Context m_context;
};

}  // namespace pelmora
