#pragma once

#include <deque>
#include <string>

#include "connection/ConnectionSettlement.h"
#include "connection/Meter.h"
#include "platform/Clock.h"

namespace pelmora {

class Clock;
class ConnectionLog;
class ConnectionSettlement;
class DurationFile;
class ProgramStarter;
class SettingsStore;
class SoundPlayer;

// What the connect and disconnect actions do to the windows.
class ConnectionWindow {
 public:
  virtual ~ConnectionWindow() = default;
  // The monitor switch and its menu entry: disabled while a connection is metered.
  virtual void enableSwitch(bool enabled) = 0;
  // The settings dialog's OK button and the menu entries "Статистика" and "Настройки".
  virtual void enableSettings(bool enabled) = 0;
  // Makes the status window visible and brings it to the front.
  virtual void showStatusWindow() = 0;
  // The one-second metering tick and the five-second crash protector.
  virtual void setMetering(bool on) = 0;
  // The blinking of the state glyph after a connect.
  virtual void setFlashing(bool on) = 0;
  // Hides the status window ten seconds from now, unless a hiding is already on its way.
  virtual void startHider() = 0;
  // An open settings dialog shows the new statistics.
  virtual void refreshStatistics() = 0;
  // A one-second timer that calls ConnectionActions::retrySettlement while the store is busy or
  // a settled connection's files wait to be written.
  virtual void setSettlementRetry(bool on) = 0;
  // A settlement failed: the monitor is switched off and its switch locked, so that no later
  // connection overwrites the crash file that keeps the unsettled one for the next start.
  virtual void stopMonitoring() = 0;
};

// The ordered actions of a connect and a disconnect: log lines, locks, metering, settlement,
// counters, sounds, programs, showing and hiding. The settings they use are read from the store
// at the moment of the transition, never cached.
class ConnectionActions {
 public:
  struct Context {
    SettingsStore& store;
    const Clock& clock;
    const ConnectionLog& log;
    Meter& meter;
    const ConnectionSettlement& settlement;
    const DurationFile& durationFile;  // the running connection's crash file
    const DurationFile& waitingFile;   // that of an ended one waiting while the next is metered
    SoundPlayer& sound;
    ProgramStarter& starter;
    ConnectionWindow& window;
  };

  explicit ConnectionActions(Context context) : m_context(context) {}

  // The connection came up: the monitor is already kMonitorConnected. An ended connection that
  // still waits for the store takes its crash file to Waiting.tmp, so Duration.tmp protects this
  // one.
  void connect();
  // The connection went down: the monitor is already kMonitorDisconnected. Its duration ends at
  // this call whatever the store does. The final duration is written to Duration.tmp, then the
  // connection is settled and counted in one unit of the store. A busy store puts the settlement
  // off (see retrySettlement); any other store error leaves the store untouched and the connection
  // in its crash file for the next start, stops the monitoring and is passed on to be shown.
  void disconnect();
  // Once the store settled a connection, a file step that fails is not undone: the crash file
  // keeps the settled connection and the steps are finished silently by the next retry; the
  // failure is passed on once, after the disconnect's other actions, to be shown.
  //
  // Settles what a busy store put off, oldest first (each summary entry after its own
  // disconnect entry), and finishes files left unwritten; errors as for disconnect, a file step
  // that fails again is not passed on again.
  void retrySettlement();
  // The start-up found a crash file naming a settled connection whose files it could not finish.
  void filesUnfinished(const FileSteps& steps);
  // Duration.tmp keeps a connection that waits for the store or for its files: the crash
  // protector must not overwrite it.
  bool crashFileTaken() const { return holds(m_context.durationFile); }

 private:
  struct Pending {
    MeteredConnection connection;   // the connection as it ended
    LocalTime ended;                // the disconnect, for the crash file and the log
    const DurationFile* crashFile;  // the file that holds it, or none
  };
  // True when the file holds a connection waiting for the store or for its files.
  bool holds(const DurationFile& file) const;
  // The text of a file step that failed for the first time, or empty.
  std::string settlePending();
  // Tries the unfinished file steps again; true when none are left.
  bool finishFiles();

  Context m_context;
  std::deque<Pending> m_pending;
  bool m_metering = false;      // a connection is metered, so the panels show that one
  bool m_unfinished = false;    // a settled connection's files lag behind
  bool m_toldFull = false;      // the user knows the store's disk is full
  FileSteps m_unfinishedSteps;  // what they must get
};

}  // namespace pelmora
