#include "ui/status/TMainFrame.h"

#include <algorithm>
#include <utility>

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QApplication>
#include <QCursor>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QHideEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QShowEvent>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

#include "monitor/ConnectionMonitor.h"
#include "platform/ProgramVersion.h"
#include "platform/Screen.h"
#include "platform/qt/DesktopNotifier.h"
#include "ui/status/DisplayFont.h"
#include "ui/status/StateArt.h"

namespace pelmora {

namespace {

constexpr int kPollInterval = 500;
constexpr int kDurationInterval = 1000;
constexpr int kProtectorInterval = 5000;
constexpr int kMoverInterval = 10;
constexpr int kHiderInterval = 10000;
constexpr int kFlasherInterval = 250;
constexpr int kSettlementRetryInterval = 1000;
constexpr int kTrayWatchInterval = 5000;

constexpr int kWindowWidth = 105;
constexpr int kWindowHeight = 32;
// Closer than this to the left, top or right edge, a dragged window snaps onto it.
constexpr int kSnapMargin = 18;
// The window stays where it was pressed for this many mover ticks, so a click never moves it.
constexpr int kStillTicks = 4;
constexpr int kFlashRound = 8;

// The displays' figures and the smallest size they are made to fit in.
constexpr int kDisplayPixels = 11;
constexpr int kSmallestDisplayPixels = 7;

const QString kEmptyCost = QStringLiteral("0   ");
const QString kEmptyTime = QStringLiteral("00:00:00");

// The window's own font: a small fixed-pitch face, whatever the desktop has of it.
QFont smallFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Small Fonts"), QStringLiteral("DejaVu Sans Mono"),
                    QStringLiteral("Liberation Mono"), QStringLiteral("Monospace")});
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(9);
  return font;
}

QFrame* panel(QWidget* parent, QFrame::Shadow shadow, const QRect& geometry) {
  auto* frame = new QFrame(parent);
  frame->setFrameStyle(QFrame::Panel | shadow);
  frame->setLineWidth(1);
  frame->setGeometry(geometry);
  return frame;
}

QLabel* picture(QWidget* parent, const QRect& geometry, const QPixmap& pixmap) {
  auto* label = new QLabel(parent);
  label->setGeometry(geometry);
  label->setAlignment(Qt::AlignCenter);
  label->setPixmap(pixmap);
  return label;
}

QLabel* display(QWidget* parent, const QRect& geometry, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setLineWidth(1);
  label->setGeometry(geometry);
  label->setAlignment(Qt::AlignCenter);
  label->setFont(displayFont(kDisplayPixels, true));
  return label;
}

// The largest display font, down to the smallest, whose centred text starts inside the display
// and whose figures end before `right` (the currency symbol's place, or the display's edge).
void fitText(QLabel* display, int right) {
  const QRect room = display->contentsRect();
  const QString text = display->text();
  QFont font = displayFont(kDisplayPixels, true);
  for (; font.pixelSize() > kSmallestDisplayPixels; font.setPixelSize(font.pixelSize() - 1)) {
    const QFontMetrics metrics(font);
    const int start = room.x() + (room.width() - metrics.horizontalAdvance(text)) / 2;
    const int end = start + metrics.horizontalAdvance(text.trimmed());
    if (start >= room.x() && end <= right) break;
  }
  if (font != display->font()) display->setFont(font);
}

}  // namespace

TMainFrame::TMainFrame(Services services)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_core(services.core),
      m_notifier(services.notifier),
      m_screen(services.screen),
      m_arguments(std::move(services.arguments)),
      m_pointer(std::move(services.pointer)),
      m_placeable(services.placeable),
      m_trayAvailable(std::move(services.trayAvailable)) {
  setWindowTitle(QString::fromUtf8(kProgramName));
  // The position is always the program's own, 0, 0 included: without this the window system
  // would place a window that was never moved away from 0, 0 where it likes.
  setAttribute(Qt::WA_Moved);
  setFixedSize(kWindowWidth, kWindowHeight);
  setFont(smallFont());

  buildTimers();
  buildControls();
  buildMenu();
  StatusView& view = *this;
  m_core.attach(view);
}

TMainFrame::~TMainFrame() {
  ttInternet->stop();
  if (trayIcon != nullptr) trayIcon->hide();
}

void TMainFrame::buildTimers() {
  // Every timer starts disabled; only the polling runs while nothing happens.
  const auto timer = [this](int interval, void (TMainFrame::*step)()) {
    auto* t = new QTimer(this);
    t->setInterval(interval);
    connect(t, &QTimer::timeout, this, step);
    return t;
  };
  ttInternet = timer(kPollInterval, &TMainFrame::ttInternetTimer);
  // A coarse timer lets the system batch wake-ups; half a second needs no precision.
  ttInternet->setTimerType(Qt::CoarseTimer);
  ttDuration = timer(kDurationInterval, &TMainFrame::ttDurationTimer);
  ttProtector = timer(kProtectorInterval, &TMainFrame::ttProtectorTimer);
  ttProtector->setTimerType(Qt::CoarseTimer);
  ttMover = timer(kMoverInterval, &TMainFrame::ttMoverTimer);
  ttMover->setTimerType(Qt::PreciseTimer);
  ttHider = timer(kHiderInterval, &TMainFrame::ttHiderTimer);
  ttFlasher = timer(kFlasherInterval, &TMainFrame::ttFlasherTimer);
  ttSettlement = timer(kSettlementRetryInterval, &TMainFrame::ttSettlementTimer);
  ttStartUp = timer(kSettlementRetryInterval, &TMainFrame::ttStartUpTimer);
  ttStartUp->setSingleShot(true);
  ttTrayWatch = timer(kTrayWatchInterval, &TMainFrame::ttTrayWatchTimer);
  ttTrayWatch->setTimerType(Qt::CoarseTimer);
}

void TMainFrame::buildControls() {
  MainFrameBG = panel(this, QFrame::Raised, QRect(0, 0, kWindowWidth, kWindowHeight));
  subBGStatus = panel(MainFrameBG, QFrame::Sunken, QRect(2, 2, 101, 28));

  cbState = new QCheckBox(subBGStatus);
  cbState->setGeometry(0, 0, 15, 15);
  cbState->setFocusPolicy(Qt::NoFocus);
  // Runs whenever the check state changes, by the user, the menu or the program itself.
  connect(cbState, &QCheckBox::toggled, this, [this](bool on) { m_core.setMonitoring(on); });

  iFinances = picture(subBGStatus, QRect(14, -1, 16, 15), StateArt::financesPicture());
  iTime = picture(subBGStatus, QRect(14, 13, 16, 16), StateArt::timePicture());
  iState = picture(subBGStatus, QRect(0, 15, 14, 14), {});
  setStateGlyph(QStringLiteral("State0"));

  // A transparent handle over the pictures to drag the window by.
  Protector = new QLabel(subBGStatus);
  Protector->setGeometry(-1, -1, 30, 30);

  pCents = display(subBGStatus, QRect(30, 0, 55, 14), kEmptyCost);
  tCurrency = new QLabel(QStringLiteral("$"), pCents);
  tCurrency->setGeometry(45, 1, 15, 15);
  tCurrency->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  tCurrency->setFont(displayFont(9, false));
  pTime = display(subBGStatus, QRect(30, 14, 55, 14), kEmptyTime);
  fitDisplays();

  iDown = picture(subBGStatus, QRect(86, 0, 14, 27), {});
  setDownGlyph(false);

  // The switch stays clickable above the drag handle.
  cbState->raise();

  for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(MainFrameBG),
                     static_cast<QWidget*>(cbState), static_cast<QWidget*>(subBGStatus),
                     static_cast<QWidget*>(Protector), static_cast<QWidget*>(pCents),
                     static_cast<QWidget*>(tCurrency), static_cast<QWidget*>(pTime),
                     static_cast<QWidget*>(iDown)}) {
    w->setMouseTracking(true);
    if (w != this) w->installEventFilter(this);
  }
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

  connect(mStatus, &QAction::triggered, this, &TMainFrame::mStatusClick);
  connect(mHide, &QAction::triggered, this, &TMainFrame::iDownClick);
  connect(mStatistics, &QAction::triggered, this, &TMainFrame::mStatisticsClick);
  connect(mSettings, &QAction::triggered, this, [this] { openSettings(QStringLiteral("o")); });
  connect(mSwitch, &QAction::triggered, this, &TMainFrame::mSwitchClick);
  connect(mReStart, &QAction::triggered, this, &TMainFrame::mReStartClick);
  connect(mQuit, &QAction::triggered, this, &TMainFrame::mQuitClick);

  // The background's context menu; the controls on it pass their right clicks down to it.
  MainFrameBG->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(MainFrameBG, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    // A right press on a display has started a drag whose release the menu will take: end
    // the drag here, or the window would follow the pointer after the menu closes.
    if (ttMover->isActive()) dragEnd();
    PopupMenu->popup(MainFrameBG->mapToGlobal(pos));
  });

  // Keyboard shortcuts without a visible menu, active while the window has the focus.
  mAntiCloser = new QAction(QStringLiteral(" "), this);
  mAntiCloser->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
  mHelp = new QAction(QStringLiteral(" "), this);
  mHelp->setShortcut(QKeySequence(Qt::Key_F1));
  connect(mHelp, &QAction::triggered, this, &TMainFrame::mHelpClick);
  // The keyboard's way to the menu the right button opens: below the window, where it is.
  mMenuKey = new QAction(QStringLiteral(" "), this);
  mMenuKey->setShortcuts({QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)});
  connect(mMenuKey, &QAction::triggered, this, [this] {
    if (ttMover->isActive()) dragEnd();
    PopupMenu->popup(MainFrameBG->mapToGlobal(QPoint(0, MainFrameBG->height())));
  });
  addAction(mAntiCloser);
  addAction(mHelp);
  addAction(mMenuKey);

  trayIcon = new QSystemTrayIcon(this);
  trayIcon->setContextMenu(PopupMenu);
  if (m_notifier == nullptr) {
    // Where neither the notification service nor a balloon reaches the user, the window shows
    // up and flashes.
    m_desktop = std::make_unique<DesktopNotifier>(*trayIcon, [this] {
      showWithoutFocus();
      startFlashing();
      QApplication::alert(this);
    });
    m_notifier = m_desktop.get();
  }
  connect(trayIcon, &QSystemTrayIcon::activated, this, &TMainFrame::trayActivated);
}

void TMainFrame::startUp() {
  trayIcon->setToolTip(QString::fromUtf8(kProgramTitle));
  refreshState(m_core.monitorState());
  // On X11 the icon is shown also when no tray is there yet: it appears once a tray starts
  // (a desktop panel started after the program). Elsewhere only an existing tray takes it.
  if (QSystemTrayIcon::isSystemTrayAvailable() ||
      QGuiApplication::platformName() == QStringLiteral("xcb")) {
    trayIcon->show();
  }

  ttStartUpTimer();
  // Without a tray the window is the only way to the menu.
  if (!trayAvailable()) showWithoutFocus();
  ttTrayWatch->start();
}

bool TMainFrame::trayAvailable() const {
  if (m_trayAvailable) return m_trayAvailable();
  return QSystemTrayIcon::isSystemTrayAvailable() ||
         QGuiApplication::platformName() == QStringLiteral("offscreen");
}

void TMainFrame::ttTrayWatchTimer() {
  const bool tray = trayAvailable();
  if (tray && !trayIcon->isVisible()) trayIcon->show();
  if (!tray && isHidden() && !m_core.ending()) showWithoutFocus();
}

void TMainFrame::ttStartUpTimer() {
  bool busy = false;
  const std::optional<StartupResult> result = m_core.startUp(busy);
  if (busy) {
    // Nothing is metered before the sequence ran; the window and the menu go on meanwhile.
    enableSwitch(false);
    ttStartUp->start();
    return;
  }
  // After a store error the monitor stays off: nothing would be counted right. The menu still
  // quits.
  ttStartUp->stop();
  if (!result) return;
  enableSwitch(true);
  if (result->showWindow) showWithoutFocus();

  cbState->setChecked(true);
  if (m_arguments.value(1) == QStringLiteral("/off")) cbState->setChecked(false);
  formShow();
  m_startUpMarker = true;
}

void TMainFrame::formShow() {
  if (const std::optional<WindowOptions> options = m_core.readWindowOptions()) {
    moveOntoScreen(options->left, options->top);
    m_currencyStatus = options->currencyStatus;
    const QString symbol = QString::fromStdString(options->currencySymbol);
    // Only the first showing after start-up clears the displays for a new symbol.
    if (symbol != tCurrency->text() && m_startUpMarker) {
      pCents->setText(kEmptyCost);
      pTime->setText(kEmptyTime);
    }
    tCurrency->setText(symbol);
    m_extraSeconds = options->extraSeconds;
    m_freeSeconds = options->freeSeconds;
  }
  m_startUpMarker = false;
}

void TMainFrame::moveOntoScreen(int left, int top) {
  // A position from a larger screen, or from before a monitor went, would lose the window: it
  // is brought inside the available area, and kept there.
  const ScreenArea area = m_screen.availableArea();
  if (area.width < kWindowWidth || area.height < kWindowHeight) {
    move(left, top);  // no usable screen to go by
    return;
  }
  const int inLeft = std::clamp(left, area.left, area.left + area.width - kWindowWidth);
  const int inTop = std::clamp(top, area.top, area.top + area.height - kWindowHeight);
  move(inLeft, inTop);
  // Where the window system places windows itself, the program cannot know where it went.
  if ((inLeft != left || inTop != top) && m_placeable) m_core.savePosition(inLeft, inTop);
}

void TMainFrame::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Spontaneous show events come from the window system restoring the window, not from
  // the program showing it.
  if (!event->spontaneous()) formShow();
}

void TMainFrame::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // A hidden window gets no button release: a drag in progress would tick on forever.
  ttMover->stop();
}

void TMainFrame::showDuration(const std::string& text) {
  pTime->setText(QString::fromStdString(text));
  fitDisplays();
}

void TMainFrame::showCost(const std::string& text) {
  pCents->setText(QString::fromStdString(text));
  fitDisplays();
}

void TMainFrame::fitDisplays() {
  fitText(pCents, tCurrency->x());
  fitText(pTime, pTime->contentsRect().right() + 1);
}

void TMainFrame::mStatusClick() {
  setAttribute(Qt::WA_ShowWithoutActivating, false);
  show();
  raise();
  activateWindow();
}

void TMainFrame::showWithoutFocus() {
  setAttribute(Qt::WA_ShowWithoutActivating, true);
  show();
  raise();
}

void TMainFrame::iDownClick() {
  m_hover = false;
  setDownGlyph(false);
  if (trayAvailable()) {
    hide();
    return;
  }
  // Hidden, the window could not be reached again: there is no tray icon to click.
  QToolTip::showText(iDown->mapToGlobal(iDown->rect().center()),
                     QStringLiteral("Спрятать окно некуда: на рабочем столе нет области "
                                    "уведомлений (трея)."),
                     iDown);
}

void TMainFrame::mStatisticsClick() {
  openSettings(QStringLiteral("s"));
}

void TMainFrame::mHelpClick() {
  openSettings(QStringLiteral("i"));
}

void TMainFrame::openSettings(const QString& tab) {
  // The settings dialog connects here and opens itself on the tab.
  emit settingsRequested(tab);
}

void TMainFrame::trayActivated(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      mStatusClick();
      break;
    case QSystemTrayIcon::DoubleClick:
      if (!m_core.linkUp()) mStatisticsClick();
      break;
    case QSystemTrayIcon::MiddleClick:
      openSettings(QStringLiteral("o"));
      break;
    case QSystemTrayIcon::Context:
      // Most trays open the menu themselves; some (swaybar) ask the program to.
      if (!PopupMenu->isVisible()) {
        if (const std::optional<QPoint> at = pointerPosition()) PopupMenu->popup(*at);
      }
      break;
    default:
      break;
  }
}

void TMainFrame::mQuitClick() {
  m_core.quit();
}
void TMainFrame::mReStartClick() {
  m_core.restart();
}
void TMainFrame::mSwitchClick() {
  cbState->setChecked(!cbState->isChecked());
}
void TMainFrame::ttInternetTimer() {
  m_core.poll();
}
void TMainFrame::ttDurationTimer() {
  m_core.meterTick();
}
void TMainFrame::ttProtectorTimer() {
  m_core.protectorTick();
}
void TMainFrame::ttSettlementTimer() {
  m_core.retrySettlement();
}
void TMainFrame::systemShutdown() {
  m_core.shutDown();
}

void TMainFrame::endEventLoop() {
  QCoreApplication::exit(0);
}

void TMainFrame::programEnding() {
  for (QTimer* t : {ttInternet, ttDuration, ttProtector, ttMover, ttHider, ttFlasher, ttSettlement,
                    ttStartUp, ttTrayWatch}) {
    t->stop();
  }
}

void TMainFrame::closeEvent(QCloseEvent* event) {
  // The window is never closed by the user (Alt+F4 included); only quitting ends the program.
  if (!m_core.ending()) event->ignore();
}

bool TMainFrame::eventFilter(QObject* watched, QEvent* event) {
  const bool dragHandle = watched == Protector || watched == pCents || watched == pTime;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      if (dragHandle) {
        dragStart(static_cast<QWidget*>(watched), static_cast<QMouseEvent*>(event)->pos());
        return true;
      }
      if (watched == iDown) {
        m_downPressed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        return true;
      }
      // The symbol lies over the cost display but is no drag handle.
      if (watched == tCurrency) return true;
      break;
    case QEvent::MouseButtonDblClick:
      if (dragHandle || watched == tCurrency) {
        if (dragHandle) {
          dragStart(static_cast<QWidget*>(watched), static_cast<QMouseEvent*>(event)->pos());
        }
        // Opens the statistics also while connected, when the menu entry is locked.
        mStatisticsClick();
        return true;
      }
      if (watched == iDown) return true;
      break;
    case QEvent::MouseButtonRelease:
      if (watched == iDown) {
        const bool click =
            m_downPressed && iDown->rect().contains(static_cast<QMouseEvent*>(event)->pos());
        m_downPressed = false;
        if (click) iDownClick();
        return true;
      }
      if (dragHandle || watched == MainFrameBG || watched == subBGStatus) {
        dragEnd();
        return true;
      }
      break;
    case QEvent::MouseMove:
      // The pointer over the switch is neither the window nor the hide button.
      if (watched == cbState) return static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton;
      if (watched == iDown) {
        iDownMouseMove();
        return true;
      }
      formMouseMove();
      return true;
    case QEvent::ToolTip:
      // The zone in force and the next cheaper one, worked out only when asked for.
      if (watched == pCents || watched == pTime || watched == tCurrency) {
        const QString tip = QString::fromStdString(m_core.zoneTooltip());
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip,
                           static_cast<QWidget*>(watched));
        return true;
      }
      break;
    case QEvent::Leave:
      // Leaving the window over the hide button must not leave the button lit.
      if (watched == MainFrameBG) formMouseMove();
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

void TMainFrame::dragStart(QWidget* control, QPoint position) {
  // Where the program cannot place its window, the window system moves it for the user.
  if (!m_placeable) {
    if (QWindow* window = windowHandle()) window->startSystemMove();
    return;
  }
  // The grab offset is counted from the contents frame's corner, by the control's place in it.
  m_grab = position + control->pos();
  m_moverTicks = 0;
  ttMover->start();
}

void TMainFrame::ttMoverTimer() {
  if (m_moverTicks <= kStillTicks) ++m_moverTicks;
  if (m_moverTicks <= kStillTicks) return;
  const std::optional<QPoint> pointer = pointerPosition();
  if (!pointer) return;
  const ScreenSize screen = m_screen.size();
  int left = pointer->x() - m_grab.x();
  int top = pointer->y() - m_grab.y();
  // Near the right edge the window snaps onto it; past the bottom it stops at the edge.
  if (left > screen.width - kWindowWidth - kSnapMargin) left = screen.width - kWindowWidth;
  if (top > screen.height - kWindowHeight) top = screen.height - kWindowHeight;
  if (left < kSnapMargin) left = 0;
  if (top < kSnapMargin) top = 0;
  move(left, top);
  emit positionDragged(left, top);
}

void TMainFrame::dragEnd() {
  ttMover->stop();
  // Where the window system does not tell where the window is, nothing right could be stored.
  if (!m_placeable) return;
  // Written on every release, also after a plain click that moved nothing.
  m_core.savePosition(x(), y());
}

std::optional<QPoint> TMainFrame::pointerPosition() const {
  if (m_pointer) return m_pointer();
  return QCursor::pos();
}

void TMainFrame::iDownMouseMove() {
  if (!m_hover) {
    setDownGlyph(true);
    m_hover = true;
  }
}

void TMainFrame::formMouseMove() {
  if (m_hover) {
    setDownGlyph(false);
    m_hover = false;
  }
}

void TMainFrame::ttHiderTimer() {
  ttHider->stop();
  // Without a tray the window stays: it is the only way to the program.
  if (trayAvailable()) hide();
}

void TMainFrame::startFlashing() {
  m_flashCount = 0;
  ttFlasher->start();
}

void TMainFrame::stopFlashing() {
  ttFlasher->stop();
  m_flashCount = 0;
}

void TMainFrame::ttFlasherTimer() {
  ++m_flashCount;
  // Odd ticks show the darker green, even ticks the bright one; the round ends bright.
  setStateGlyph(m_flashCount % 2 == 1 ? QStringLiteral("State3") : QStringLiteral("State2"));
  if (m_flashCount >= kFlashRound) stopFlashing();
}

void TMainFrame::setStateGlyph(const QString& name) {
  m_stateGlyph = name;
  iState->setPixmap(StateArt::picture(name));
}

void TMainFrame::setDownGlyph(bool lit) {
  m_downGlyph = lit ? QStringLiteral("Down1") : QStringLiteral("Down0");
  iDown->setPixmap(StateArt::downGlyph(lit));
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

void TMainFrame::refreshState(MonitorState state) {
  m_trayState = (state == kMonitorDisconnected || state == kMonitorConnected) ? state : kMonitorOff;
  setStateGlyph(QStringLiteral("State") + QString::number(m_trayState));
  trayIcon->setIcon(StateArt::trayIcon(m_trayState));
  trayIcon->setToolTip(QString::fromUtf8(kProgramTitle));
}

void TMainFrame::enableSwitch(bool enabled) {
  cbState->setEnabled(enabled);
  mSwitch->setEnabled(enabled);
}

void TMainFrame::enableSettings(bool enabled) {
  mStatistics->setEnabled(enabled);
  mSettings->setEnabled(enabled);
}

void TMainFrame::showStatusWindow() {
  showWithoutFocus();
}

void TMainFrame::setMetering(bool on) {
  if (on) {
    ttDuration->start();
    ttProtector->start();
  } else {
    ttDuration->stop();
    ttProtector->stop();
  }
}

void TMainFrame::setFlashing(bool on) {
  if (on) {
    startFlashing();
  } else {
    stopFlashing();
  }
}

void TMainFrame::startHider() {
  // A hiding already on its way keeps its time: a second disconnect does not put it off.
  if (!ttHider->isActive()) ttHider->start();
}

void TMainFrame::setSettlementRetry(bool on) {
  if (!on) {
    ttSettlement->stop();
  } else if (!ttSettlement->isActive()) {
    ttSettlement->start();
  }
}

void TMainFrame::stopMonitoring() {
  cbState->setChecked(false);
  enableSwitch(false);
}

void TMainFrame::notify(const std::string& title, const std::string& text) {
  m_notifier->notify(title, text);
}

}  // namespace pelmora
