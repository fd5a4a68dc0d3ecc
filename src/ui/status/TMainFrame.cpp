#include "ui/status/TMainFrame.h"

#include <utility>

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFont>
#include <QLabel>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include "app/QuitController.h"
#include "monitor/ConnectionProbe.h"
#include "platform/ProgramVersion.h"
#include "store/ConnectionLog.h"
#include "ui/status/StateArt.h"

namespace pelmora {

namespace {
constexpr int kPollInterval = 500;
}

TMainFrame::TMainFrame(Services services)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_services(std::move(services)),
      m_log(std::make_unique<ConnectionLog>(m_services.folder.connectionLog())) {
  setWindowTitle(QStringLiteral("Pelmora"));
  setFixedSize(105, 32);

  MonitorView& view = *this;
  MonitorTransitions& transitions = *this;
  m_monitor = std::make_unique<ConnectionMonitor>(m_services.probe, view, transitions);
  m_quit = std::make_unique<QuitController>(
      QuitController::Context{[this] { return m_monitor->isConnected(); }, m_services.boxes,
                              m_services.clock, *m_log, m_services.folder.durationFile(),
                              m_services.starter, m_services.executable, m_services.terminate});

  ttInternet = new QTimer(this);
  ttInternet->setInterval(kPollInterval);
  // A coarse timer lets the system batch wake-ups; half a second needs no precision.
  ttInternet->setTimerType(Qt::CoarseTimer);
  connect(ttInternet, &QTimer::timeout, this, &TMainFrame::ttInternetTimer);

  buildControls();
  buildMenu();
}

TMainFrame::~TMainFrame() {
  ttInternet->stop();
  if (trayIcon != nullptr) trayIcon->hide();
}

void TMainFrame::buildControls() {
  cbState = new QCheckBox(this);
  cbState->setGeometry(2, 2, 15, 15);
  // Runs whenever the check state changes, by the user, the menu or the program itself.
  connect(cbState, &QCheckBox::toggled, this, [this](bool on) { m_monitor->switchChanged(on); });

  iState = new QLabel(this);
  iState->setGeometry(2, 17, 14, 14);
  iState->setPixmap(StateArt::stateGlyph(0));
}

void TMainFrame::buildMenu() {
  PopupMenu = new QMenu(this);
  mStatus = PopupMenu->addAction(QStringLiteral("Статус <показать>"));
  QFont bold = mStatus->font();
  bold.setBold(true);
  mStatus->setFont(bold);
  PopupMenu->setDefaultAction(mStatus);
  mHide = PopupMenu->addAction(QStringLiteral("Статус <спрятать>"));
  mStatistics = PopupMenu->addAction(QStringLiteral("Статистика"));
  mSettings = PopupMenu->addAction(QStringLiteral("Настройки"));
  PopupMenu->addSeparator();
  mSwitch = PopupMenu->addAction(QString::fromUtf8(ConnectionMonitor::switchCaption(false)));
  PopupMenu->addSeparator();
  mReStart = PopupMenu->addAction(QStringLiteral("Перезапуск"));
  mQuit = PopupMenu->addAction(QStringLiteral("Выход"));

  connect(mStatus, &QAction::triggered, this, &TMainFrame::showStatus);
  connect(mHide, &QAction::triggered, this, &QWidget::hide);
  connect(mStatistics, &QAction::triggered, this, [this] { openSettings(QStringLiteral("s")); });
  connect(mSettings, &QAction::triggered, this, [this] { openSettings(QStringLiteral("o")); });
  connect(mSwitch, &QAction::triggered, this, &TMainFrame::mSwitchClick);
  connect(mReStart, &QAction::triggered, this, &TMainFrame::mReStartClick);
  connect(mQuit, &QAction::triggered, this, &TMainFrame::mQuitClick);

  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { PopupMenu->popup(mapToGlobal(pos)); });

  trayIcon = new QSystemTrayIcon(this);
  trayIcon->setContextMenu(PopupMenu);
  connect(trayIcon, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            switch (reason) {
              case QSystemTrayIcon::Trigger:
                showStatus();
                break;
              case QSystemTrayIcon::DoubleClick:
                if (m_services.probe.probe() == 0) openSettings(QStringLiteral("s"));
                break;
              case QSystemTrayIcon::MiddleClick:
                openSettings(QStringLiteral("o"));
                break;
              default:
                break;
            }
          });
}

void TMainFrame::startUp() {
  trayIcon->setToolTip(QString::fromUtf8(kProgramTitle));
  refreshState(m_monitor->state());
  // Where there is no tray the program runs all the same; the window stays reachable from the
  // next start's refusal message and from its own context menu.
  if (QSystemTrayIcon::isSystemTrayAvailable()) trayIcon->show();

  cbState->setChecked(true);
  if (m_services.arguments.value(1) == QStringLiteral("/off")) cbState->setChecked(false);
}

void TMainFrame::showStatus() {
  show();
  raise();
  activateWindow();
}

void TMainFrame::openSettings(const QString& /*tab*/) {
  // The settings dialog is opened here once it exists.
}

void TMainFrame::mQuitClick() {
  m_quit->mQuitClick();
}
void TMainFrame::mReStartClick() {
  m_quit->mReStartClick();
}
void TMainFrame::mSwitchClick() {
  cbState->setChecked(!cbState->isChecked());
}
void TMainFrame::ttInternetTimer() {
  m_monitor->poll();
}

void TMainFrame::systemShutdown() {
  m_ending = true;
  ttInternet->stop();
  m_services.terminate();
}

void TMainFrame::closeEvent(QCloseEvent* event) {
  // The window is never closed by the user (Alt+F4 included); only quitting ends the program.
  if (!m_ending) event->ignore();
}

void TMainFrame::setPolling(bool on) {
  if (on) {
    ttInternet->start();
  } else {
    ttInternet->stop();
  }
}

void TMainFrame::setSwitchCaption(const std::string& caption) {
  mSwitch->setText(QString::fromStdString(caption));
}

void TMainFrame::refreshState(int state) {
  m_trayState = (state == 1 || state == 2) ? state : 0;
  iState->setPixmap(StateArt::stateGlyph(m_trayState));
  trayIcon->setIcon(StateArt::trayIcon(m_trayState));
  trayIcon->setToolTip(QString::fromUtf8(kProgramTitle));
}

void TMainFrame::connected() {
  // Nothing can be switched off or opened from the menu while a connection is metered.
  cbState->setEnabled(false);
  mSwitch->setEnabled(false);
  mStatistics->setEnabled(false);
  mSettings->setEnabled(false);
}

void TMainFrame::disconnected() {
  cbState->setEnabled(true);
  mSwitch->setEnabled(true);
  mStatistics->setEnabled(true);
  mSettings->setEnabled(true);
}

}  // namespace pelmora
