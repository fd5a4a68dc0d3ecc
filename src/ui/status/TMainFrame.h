#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QStringList>
#include <QWidget>

#include "monitor/ConnectionMonitor.h"
#include "platform/DataFolder.h"

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QSystemTrayIcon;
class QTimer;

namespace pelmora {

class Clock;
class ConnectionLog;
class ConnectionProbe;
class MessageBoxes;
class ProgramStarter;
class QuitController;

// The status window: a tiny always-on-top strip with the monitor switch, the state glyph and
// the running time and cost, plus the tray icon and the popup menu. Created hidden.
class TMainFrame : public QWidget, private MonitorView, private MonitorTransitions {
  Q_OBJECT

 public:
  struct Services {
    const Clock& clock;
    ConnectionProbe& probe;
    MessageBoxes& boxes;
    ProgramStarter& starter;
    DataFolder folder;
    std::string executable;           // this program, for the restart
    QStringList arguments;            // the command line, the program name first
    std::function<void()> terminate;  // ends the message loop
  };

  explicit TMainFrame(Services services);
  ~TMainFrame() override;  // FormDestroy: polling stopped, tray icon removed

  // Runs once after creation: tray icon, monitor switched on (off again under "/off").
  void startUp();

  const ConnectionMonitor& monitor() const { return *m_monitor; }

  // Controls, named as the user knows them.
  QCheckBox* cbState = nullptr;
  QLabel* iState = nullptr;
  QMenu* PopupMenu = nullptr;
  QAction* mStatus = nullptr;
  QAction* mHide = nullptr;
  QAction* mStatistics = nullptr;
  QAction* mSettings = nullptr;
  QAction* mSwitch = nullptr;
  QAction* mReStart = nullptr;
  QAction* mQuit = nullptr;
  QTimer* ttInternet = nullptr;
  QSystemTrayIcon* trayIcon = nullptr;

  // The tray icon's state, also where no tray is available.
  int trayState() const { return m_trayState; }

 public slots:
  void mQuitClick();
  void mReStartClick();
  void mSwitchClick();
  void ttInternetTimer();
  // SIGTERM, SIGINT, the session ending: quit at once, without questions.
  void systemShutdown();
  // Opens the settings dialog on a tab ("o", "s", "i"...).
  void openSettings(const QString& tab);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // MonitorView
  void setPolling(bool on) override;
  void setSwitchCaption(const std::string& caption) override;
  void refreshState(int state) override;
  // MonitorTransitions
  void connected() override;
  void disconnected() override;

  void buildControls();
  void buildMenu();
  void showStatus();

  Services m_services;
  std::unique_ptr<ConnectionLog> m_log;
  std::unique_ptr<ConnectionMonitor> m_monitor;
  std::unique_ptr<QuitController> m_quit;
  int m_trayState = 0;
  bool m_ending = false;
};

}  // namespace pelmora
