#pragma once

namespace pelmora {

class Clock;
class ConnectionLog;
class DurationFile;
class Meter;
class ProgramStarter;
class SettingsStore;
class SettlementLogs;
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
  // Hides the status window ten seconds from now.
  virtual void startHider() = 0;
  // An open settings dialog shows the new statistics.
  virtual void refreshStatistics() = 0;
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
    SettlementLogs& settlementLogs;
    const DurationFile& durationFile;
    SoundPlayer& sound;
    ProgramStarter& starter;
    ConnectionWindow& window;
  };

  explicit ConnectionActions(Context context) : m_context(context) {}

  // The connection came up: the monitor is already in state 2.
  void connect();
  // The connection went down: the monitor is already in state 1. StoreError or AmountError from
  // the settlement end the actions early, with the controls unlocked and Duration.tmp deleted,
  // and are passed on to be shown.
  void disconnect();

 private:
  Context m_context;
};

}  // namespace pelmora
