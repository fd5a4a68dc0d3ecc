#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QPoint>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QWidget>

#include "accounting/Meter.h"
#include "app/ConnectionActions.h"
#include "monitor/ConnectionMonitor.h"
#include "platform/DataFolder.h"

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QTimer;

namespace pelmora {

class AccountLog;
class Clock;
class ConnectionLog;
class ConnectionSettlement;
class CrashProtector;
class DurationFile;
class ConnectionProbe;
class MessageBoxes;
class ProgramStarter;
class QuitController;
class Screen;
class SettingsStore;
class SoundPlayer;
class TariffWarning;

// The status window: a tiny borderless always-on-top strip with the monitor switch, the state
// glyph, the running cost and time and a hide button, plus the tray icon and the popup menu.
// Created hidden. The metering writes into its two panels through MeterDisplay.
class TMainFrame : public QWidget,
                   public MeterDisplay,
                   private MonitorView,
                   private MonitorTransitions,
                   private ConnectionWindow {
  Q_OBJECT

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
    std::string executable;           // this program, for the restart
    QStringList arguments;            // the command line, the program name first
    std::function<void()> terminate;  // ends the message loop
    // The pointer's position on the screen, nothing when it cannot be read. Empty: the real
    // mouse cursor.
    std::function<std::optional<QPoint>()> pointer = {};
    // The locale's decimal separator, for every amount text written.
    char decimalSeparator = '.';
  };

  explicit TMainFrame(Services services);
  ~TMainFrame() override;  // FormDestroy: polling stopped, tray icon removed

  // Runs once after creation: tray icon; the store, files and counters brought up to date and
  // a connection cut by a crash offered for counting; the window shown when so configured; the
  // monitor switched on (off again under "/off"); the window's settings applied; ends by
  // setting the start-up marker. A store error shows a box and leaves the monitor off.
  void startUp();
  // The steps run each time the window becomes visible: position, currency symbol, SecondsPlus
  // and Zero from the store. Start-up also runs them once directly. Clears the start-up marker.
  void formShow();

  const ConnectionMonitor& monitor() const { return *m_monitor; }
  const Meter& meter() const { return *m_meter; }

  // MeterDisplay: pTime and pCents.
  void showDuration(const std::string& text) override;
  void showCost(const std::string& text) override;

  // Values read by the last showing, for the metering.
  int currencyStatus() const { return m_currencyStatus; }
  int extraSeconds() const { return m_extraSeconds; }  // SecondsPlus
  int freeSeconds() const { return m_freeSeconds; }    // Zero

  // The flashing after a connect: four blinks in two seconds, ending bright green. Starting
  // always begins a full round; stopping forgets where an interrupted round was.
  void startFlashing();
  void stopFlashing();

  // Controls, named as the user knows them.
  QFrame* MainFrameBG = nullptr;
  QFrame* subBGStatus = nullptr;
  QCheckBox* cbState = nullptr;
  QLabel* iFinances = nullptr;
  QLabel* iTime = nullptr;
  QLabel* iState = nullptr;
  QLabel* Protector = nullptr;
  QLabel* pCents = nullptr;
  QLabel* tCurrency = nullptr;
  QLabel* pTime = nullptr;
  QLabel* iDown = nullptr;
  QMenu* PopupMenu = nullptr;
  QAction* mStatus = nullptr;
  QAction* mHide = nullptr;
  QAction* mStatistics = nullptr;
  QAction* mSettings = nullptr;
  QAction* mSwitch = nullptr;
  QAction* mReStart = nullptr;
  QAction* mQuit = nullptr;
  // The hidden keyboard menu: Alt+F4 swallowed, F1 for the information tab.
  QAction* mAntiCloser = nullptr;
  QAction* mHelp = nullptr;
  QTimer* ttInternet = nullptr;
  QTimer* ttDuration = nullptr;
  QTimer* ttProtector = nullptr;
  QTimer* ttMover = nullptr;
  QTimer* ttHider = nullptr;
  QTimer* ttFlasher = nullptr;
  // Retries a settlement that a busy store put off, once a second.
  QTimer* ttSettlement = nullptr;
  QSystemTrayIcon* trayIcon = nullptr;

  // The tray icon's state, also where no tray is available.
  int trayState() const { return m_trayState; }
  // Names of the pictures shown now: "State0".."State3", "Down0"/"Down1".
  const QString& stateGlyph() const { return m_stateGlyph; }
  const QString& downGlyph() const { return m_downGlyph; }
  bool hideButtonLit() const { return m_hover; }
  int flashCount() const { return m_flashCount; }
  bool startUpMarker() const { return m_startUpMarker; }
  // The program is ending: quit, restart or a shutdown signal.
  bool ending() const { return m_ending; }
  // The program's terminate: ends the message loop (exit code 0) whatever windows are shown.
  // Asking the windows to close first, as a plain quit does, would let this one refuse.
  static void endEventLoop();

 signals:
  // Asks the settings dialog to open on a tab; emitted by openSettings.
  void settingsRequested(const QString& tab);
  // The window was dragged to a new place; the settings dialog's position fields follow it.
  void positionDragged(int left, int top);
  // A connection was settled: an open settings dialog shows the new statistics.
  void statisticsChanged();
  // The settings dialog's OK button may be used (not while a connection is metered).
  void settingsCommitEnabled(bool enabled);

 public slots:
  void mQuitClick();
  void mReStartClick();
  void mSwitchClick();
  void mStatusClick();  // show the window and bring it to the front
  void iDownClick();    // hide the window (also mHide)
  void mStatisticsClick();
  void mHelpClick();
  void ttInternetTimer();
  void ttDurationTimer();   // one metering tick
  void ttProtectorTimer();  // Duration.tmp rewritten
  void ttMoverTimer();
  void ttHiderTimer();
  void ttFlasherTimer();
  void ttSettlementTimer();
  // What the tray icon's mouse actions do.
  void trayActivated(QSystemTrayIcon::ActivationReason reason);
  // SIGTERM, SIGINT, the session ending: quit at once, without questions.
  void systemShutdown();
  // Opens the settings dialog on a tab ("o", "s", "i"...).
  void openSettings(const QString& tab);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // MonitorView
  void setPolling(bool on) override;
  void setSwitchCaption(const std::string& caption) override;
  void refreshState(int state) override;
  // MonitorTransitions
  void connected() override;
  void disconnected() override;
  // ConnectionWindow
  void enableSwitch(bool enabled) override;
  void enableSettings(bool enabled) override;
  void showStatusWindow() override;
  void setMetering(bool on) override;
  void setFlashing(bool on) override;
  void startHider() override;
  void refreshStatistics() override;
  void setSettlementRetry(bool on) override;
  void stopMonitoring() override;

  // Stops every timer and ends the message loop, whatever windows are shown.
  void endProgram();

  void buildControls();
  void buildMenu();
  void buildTimers();
  void setStateGlyph(const QString& name);
  void setDownGlyph(bool lit);

  void dragStart(QWidget* control, QPoint position);
  void dragEnd();  // ProtectorMouseUp
  void iDownMouseMove();
  void formMouseMove();
  std::optional<QPoint> pointerPosition() const;
  // Runs a step that uses the store; a store error (or an amount that is no number) is shown to
  // the user instead of escaping into the event loop. False when the step failed.
  bool withStore(const std::function<void()>& step);

  Services m_services;
  std::unique_ptr<ConnectionLog> m_log;
  std::unique_ptr<AccountLog> m_accountLog;
  std::unique_ptr<DurationFile> m_durationFile;
  std::unique_ptr<ConnectionSettlement> m_settlement;
  std::unique_ptr<TariffWarning> m_tariffWarning;
  std::unique_ptr<Meter> m_meter;
  std::unique_ptr<CrashProtector> m_protector;
  std::unique_ptr<ConnectionActions> m_actions;
  std::unique_ptr<ConnectionMonitor> m_monitor;
  std::unique_ptr<QuitController> m_quit;
  int m_trayState = 0;
  bool m_ending = false;

  QString m_stateGlyph;
  QString m_downGlyph;
  bool m_hover = false;
  bool m_downPressed = false;
  QPoint m_grab;
  int m_moverTicks = 0;
  int m_flashCount = 0;
  bool m_startUpMarker = false;
  int m_currencyStatus = 0;
  int m_extraSeconds = 0;
  int m_freeSeconds = 0;
};

}  // namespace pelmora
