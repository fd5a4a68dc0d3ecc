#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "connection/Meter.h"
#include "connection/ConnectionActions.h"
#include "app/StartupSequence.h"
#include "monitor/ConnectionMonitor.h"
#include "platform/DataFolder.h"

namespace pelmora {

class AccountLog;
class BudgetGuard;
class Clock;
class ConnectionLog;
class ConnectionProbe;
class ConnectionSettlement;
class CrashProtector;
class DurationFile;
class MessageBoxes;
class ProgramStarter;
class QuitController;
class Screen;
class SettingsStore;
class SoundPlayer;
class TariffWarning;

// The status window as the program's core sees it: the metering's two panels, the monitor's
// switch and state, what the connect and disconnect actions do to the windows, and the end.
class StatusView : public MeterDisplay, public MonitorView, public ConnectionWindow {
 public:
  // The program ends: the window stops its timers, so that nothing runs before the loop is left.
  virtual void programEnding() = 0;
  // The money runs out (BudgetGuard): one desktop notification, or where the desktop has none a
  // flash of the window. Returns at once.
  virtual void notify(const std::string& title, const std::string& text) = 0;
  // The statistics are the settings dialog's (SettingsListener): the window shows none.
  void refreshStatistics() override {}
};

// The settings dialog as the program's core sees it: what it must hear of a connection's life.
class SettingsListener {
 public:
  virtual ~SettingsListener() = default;
  // "O K" may be used: not while a connection is metered.
  virtual void commitAllowed(bool allowed) = 0;
  // A connection was settled: the statistics show the new counters.
  virtual void statisticsChanged() = 0;
};

// The options the status window shows each time it is shown.
struct WindowOptions {
  int left = 0;  // XX
  int top = 0;   // YY
  int currencyStatus = 0;
  std::string currencySymbol;  // Currency when CurrencyStatus is 1, else CurrencySub
  int extraSeconds = 0;        // SecondsPlus, within the dialog's limits
  int freeSeconds = 0;         // Zero, within the dialog's limits
};

// A running program without its windows: the store with its error guard, the three files, the
// monitor, the metering, the connection actions, the crash protector, quitting and restarting.
// The entry point builds it; the status window attaches as its view and calls into it from its
// handlers and timers, the settings dialog listens to it. It hands none of its services out:
// each window is given what it uses by the entry point. Everything runs on the user-interface
// thread.
class ProgramCore final : private MonitorTransitions {
 public:
  struct Services {
    const Clock& clock;
    ConnectionProbe& probe;
    MessageBoxes& boxes;
    ProgramStarter& starter;
    SoundPlayer& sound;
    SettingsStore& store;
    const Screen& screen;
    DataFolder folder;
    std::string executable;           // this program, for the restart and the autostart entry
    std::function<void()> terminate;  // ends the message loop
    char decimalSeparator = '.';      // the locale's, for every amount text written
  };

  explicit ProgramCore(Services services);
  ~ProgramCore() override;
  ProgramCore(const ProgramCore&) = delete;
  ProgramCore& operator=(const ProgramCore&) = delete;

  // The window that shows the program. Until one attaches, nothing is shown anywhere.
  void attach(StatusView& view);
  // The settings dialog, or none (nullptr): it is told nothing until it listens.
  void listen(SettingsListener* listener);

  // Runs a step that uses the store. A store error, an amount that is no number or any other
  // failure is shown in a box instead of escaping into the event loop; a box closed by the
  // program's end is not. False when the step failed.
  bool guard(const std::function<void()>& step);

  // The start-up sequence. A busy store stops it silently (busy is set; the window runs it again
  // a second later, the monitor off meanwhile); any other error is shown with the news that the
  // monitoring is off, and the monitor is stopped and its switch locked. Nothing in both cases.
  // After a crashed connection the monitor forgets its last answer.
  std::optional<StartupResult> startUp(bool& busy);

  // The options the status window shows at each showing, within the dialog's limits. Nothing
  // after a store error (shown).
  std::optional<WindowOptions> readWindowOptions();
  // The settings the running program works by, from the store: the metering's display unit,
  // extra seconds and free seconds. The start-up and the settings dialog's "O K" run it; nothing
  // is applied after a store error (shown).
  void applySettings();
  // The window was dragged: XX and YY.
  void savePosition(int left, int top);

  // The timers' steps.
  void poll();             // ttInternet, every 500 ms
  void meterTick();        // ttDuration, every second while connected
  void protectorTick();    // ttProtector, every five seconds while connected
  void retrySettlement();  // every second while a busy store holds a settlement up

  // The monitor's switch (by the user, the menu or the start-up) and its state.
  void setMonitoring(bool on);
  MonitorState monitorState() const;
  // Asks the system now whether the dial-up connection is up, whatever the monitor last saw.
  bool linkUp();

  // The status window's tooltip over its cost and time (ZoneTooltip); empty when the tariffs
  // cannot be read.
  std::string zoneTooltip() const;

  // "Выход" and "Перезапуск" (asking first while connected), and the end without a question
  // (SIGTERM, SIGINT, the session ending).
  void quit();
  void restart();
  void shutDown();
  // Ends the program for an update or a removal, as "Выход" would but without its question: a
  // connection being metered is settled first, as if its link went down now.
  void endSettled();
  bool ending() const { return m_ending; }

 private:
  // Forwards to the attached window, or does nothing before one attached.
  class ViewRelay;

  // MonitorTransitions
  void connected() override;
  void disconnected() override;

  void endProgram();
  // Once per connection: the crash file does not protect it, and why.
  void tellUnprotected(const std::string& why);

  Services m_services;
  std::unique_ptr<ViewRelay> m_view;  // the status window and the settings dialog
  std::unique_ptr<ConnectionLog> m_log;
  std::unique_ptr<AccountLog> m_accountLog;
  std::unique_ptr<DurationFile> m_durationFile;
  std::unique_ptr<DurationFile> m_waitingFile;
  std::unique_ptr<TariffWarning> m_tariffWarning;
  std::unique_ptr<ConnectionSettlement> m_settlement;
  std::unique_ptr<Meter> m_meter;
  std::unique_ptr<CrashProtector> m_protector;
  std::unique_ptr<ConnectionActions> m_actions;
  std::unique_ptr<ConnectionMonitor> m_monitor;
  std::unique_ptr<QuitController> m_quit;
  std::unique_ptr<BudgetGuard> m_budget;
  bool m_ending = false;
  bool m_protectionTold = false;  // the running connection's missing protection was told
};

}  // namespace pelmora
