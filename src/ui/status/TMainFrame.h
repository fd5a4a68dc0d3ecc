#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QPoint>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QWidget>

#include "app/ProgramCore.h"
#include "platform/Notifier.h"

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QTimer;

namespace pelmora {

class Screen;

// The status window: a tiny borderless always-on-top strip with the monitor switch, the state
// glyph, the running cost and time and a hide button, plus the tray icon and the popup menu.
// Created hidden. A view of the program core: its handlers and timers call into the core, and
// the core shows the metering and the monitor's state through StatusView.
class TMainFrame : public QWidget, public StatusView {
  Q_OBJECT

 public:
  struct Services {
    ProgramCore& core;
    const Screen& screen;
    QStringList arguments;  // the command line, the program name first
    // The pointer's position on the screen, nothing when it cannot be read. Empty: the real
    // mouse cursor.
    std::function<std::optional<QPoint>()> pointer = {};
    // Where the budget notices go. None: the desktop's notifications, else the tray's balloon,
    // else the flashing window.
    Notifier* notifier = nullptr;
    // Whether the window system lets the program place its window and tells where it is
    // (not so on Wayland): only then is a position applied by dragging or stored.
    bool placeable = true;
    // Whether the desktop has a tray now. Empty: as Qt sees it (offscreen counts as a tray:
    // there is nobody to show the window to).
    std::function<bool()> trayAvailable = {};
  };

  explicit TMainFrame(Services services);
  ~TMainFrame() override;  // FormDestroy: polling stopped, tray icon removed

  // Runs once after creation: tray icon; the store, files and counters brought up to date and
  // a connection cut by a crash offered for counting; the window shown when so configured; the
  // monitor switched on (off again under "/off"); the window's settings applied; ends by
  // setting the start-up marker. A store error shows a box and leaves the monitor off with its
  // switch locked; a busy store runs the sequence again a second later, the switch locked
  // meanwhile.
  void startUp();
  // The steps run each time the window becomes visible: position, currency symbol, SecondsPlus
  // and Zero from the store. Start-up also runs them once directly. Clears the start-up marker.
  void formShow();
  // Moves the window to a stored position, brought inside the screen's available area.
  void moveOntoScreen(int left, int top);

  // The monitor's state the switch and the tray icon show.
  MonitorState monitorState() const { return m_core.monitorState(); }

  // MeterDisplay: pTime and pCents.
  void showDuration(const std::string& text) override;
  void showCost(const std::string& text) override;

  // Values read by the last showing.
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
  // The hidden keyboard menu: Alt+F4 swallowed, F1 for the information tab, the Menu key and
  // Shift+F10 for the popup menu.
  QAction* mAntiCloser = nullptr;
  QAction* mHelp = nullptr;
  QAction* mMenuKey = nullptr;
  QTimer* ttInternet = nullptr;
  QTimer* ttDuration = nullptr;
  QTimer* ttProtector = nullptr;
  QTimer* ttMover = nullptr;
  QTimer* ttHider = nullptr;
  QTimer* ttFlasher = nullptr;
  // Retries a settlement that a busy store put off, once a second.
  QTimer* ttSettlement = nullptr;
  // Runs the start-up sequence again while a busy store stops it, once a second.
  QTimer* ttStartUp = nullptr;
  // Looks for the tray every few seconds.
  QTimer* ttTrayWatch = nullptr;
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
  bool ending() const { return m_core.ending(); }
  // The program's terminate: ends the message loop (exit code 0) whatever windows are shown.
  // Asking the windows to close first, as a plain quit does, would let this one refuse.
  static void endEventLoop();

 signals:
  // Asks the settings dialog to open on a tab; emitted by openSettings.
  void settingsRequested(const QString& tab);
  // The window was dragged to a new place; the settings dialog's position fields follow it.
  void positionDragged(int left, int top);

 public slots:
  void mQuitClick();
  void mReStartClick();
  void mSwitchClick();
  void mStatusClick();  // the user's request: show the window, bring it to the front, focus it
  void iDownClick();    // hide the window (also mHide); where there is no tray it stays
  void mStatisticsClick();
  void mHelpClick();
  void ttInternetTimer();
  void ttDurationTimer();   // one metering tick
  void ttProtectorTimer();  // Duration.tmp rewritten
  void ttMoverTimer();
  void ttHiderTimer();
  void ttFlasherTimer();
  void ttSettlementTimer();
  void ttStartUpTimer();  // one attempt at the start-up sequence
  // Where no tray is (or a tray went away) a hidden window is shown again; a tray that came
  // takes the icon.
  void ttTrayWatchTimer();
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
  void refreshState(MonitorState state) override;
  // ConnectionWindow
  void enableSwitch(bool enabled) override;
  void enableSettings(bool enabled) override;
  void showStatusWindow() override;
  void setMetering(bool on) override;
  void setFlashing(bool on) override;
  void startHider() override;
  void setSettlementRetry(bool on) override;
  void stopMonitoring() override;
  // StatusView: every timer stops.
  void programEnding() override;
  // StatusView: a tray notification, or the flashing where the desktop shows none.
  void notify(const std::string& title, const std::string& text) override;

  void buildControls();
  void buildMenu();
  void buildTimers();
  // The program's own showings (start, connect, no tray): shown and raised, the keyboard
  // focus left where the user has it.
  void showWithoutFocus();
  bool trayAvailable() const;
  // The displays' fonts made smaller, where a text would not fit its place.
  void fitDisplays();
  void setStateGlyph(const QString& name);
  void setDownGlyph(bool lit);

  void dragStart(QWidget* control, QPoint position);
  void dragEnd();  // ProtectorMouseUp
  void iDownMouseMove();
  void formMouseMove();
  std::optional<QPoint> pointerPosition() const;

  ProgramCore& m_core;
  // The budget notices' way to the user: the one given, else the desktop's (m_desktop).
  Notifier* m_notifier = nullptr;
  std::unique_ptr<Notifier> m_desktop;
  const Screen& m_screen;
  QStringList m_arguments;
  std::function<std::optional<QPoint>()> m_pointer;
  bool m_placeable = true;
  std::function<bool()> m_trayAvailable;
  int m_trayState = 0;

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
