// The status window in-process, offscreen, with a scripted probe and answered message boxes.

#include "ui/status/TMainFrame.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <utility>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QHelpEvent>

#include <gtest/gtest.h>

#include "monitor/ConnectionProbe.h"
#include "platform/ProgramStarter.h"
#include "platform/SoundPlayer.h"
#include "platform/Screen.h"
#include "store/StoreKeys.h"
#include "store/ConnectionLog.h"
#include "store/StoreProcedures.h"
#include "support/Doubles.h"
#include "support/FakeClock.h"
#include "support/MemorySettingsStore.h"
#include "support/ProgramParts.h"
#include "support/RecordingMessageBoxes.h"
#include "support/RecordingStatusView.h"
#include "support/TemporaryFolder.h"
#include "support/qt/SeenLayout.h"
#include "ui/status/StateArt.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

using testing::FixedScreen;
using testing::RecordingSound;
using testing::RecordingStarter;
using testing::ScriptedProbe;

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_clock.set(2026, 12, 8, 21, 30, 0);
    for (const auto& [name, value] :
         std::initializer_list<std::pair<const char*, Value>>{{"XX", 300},
                                                              {"YY", 200},
                                                              {"CurrencyStatus", 1},
                                                              {"Currency", std::string("$")},
                                                              {"CurrencySub", std::string("ц.")},
                                                              {"SecondsPlus", 5},
                                                              {"Zero", 20}}) {
      m_store.set(kProgramKey, name, value);
    }
    // Everything else as a previous run left it: the start writes no defaults.
    writeMissingDefaults(m_store, m_screen);
    ensureTariffWeek(m_store);
  }
  void TearDown() override {
    m_frame.reset();
    m_core.reset();
  }

  TMainFrame& make(QStringList args = {QStringLiteral("pelmora")}) {
    m_frame.reset();
    m_core.reset();
    m_core = std::make_unique<ProgramCore>(testing::coreServices(
        {.clock = m_clock,
         .probe = m_probe,
         .boxes = m_boxes,
         .starter = m_starter,
         .sound = m_sound,
         .store = m_store,
         .screen = m_screen,
         .folder = m_folder.path(),
         .terminate = m_realTerminate ? std::function<void()>(&TMainFrame::endEventLoop)
                                      : std::function<void()>([this] { ++m_terminated; })}));
    m_frame = std::make_unique<TMainFrame>(
        TMainFrame::Services{*m_core, m_screen, args, [this] { return m_pointer; }, &m_notifier,
                             m_placeable, [this] { return m_tray; }});
    m_dialog = {};
    m_notifier.titles.clear();
    m_core->listen(&m_dialog);
    m_frame->startUp();
    return *m_frame;
  }

  void poll(int answer) {
    m_probe.answer = answer;
    m_frame->ttInternetTimer();
  }

  std::string log() const {
    std::ifstream in(m_folder / "Internet.LOG", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  using Value = testing::MemorySettingsStore::Value;
  std::optional<Value> stored(const char* name) const { return m_store.value(kProgramKey, name); }

  // Presses a display at a point, lets the mover tick with the pointer at a screen position.
  QPoint drag(QWidget* control, QPoint at, QPoint pointer, int ticks = 5) {
    QTest::mousePress(control, Qt::LeftButton, {}, at);
    m_pointer = pointer;
    for (int i = 0; i < ticks; ++i) m_frame->ttMoverTimer();
    QTest::mouseRelease(control, Qt::LeftButton, {}, at);
    return m_frame->pos();
  }

  testing::TemporaryFolder m_folder;
  testing::MemorySettingsStore m_store;
  FixedScreen m_screen{{1024, 768}};
  std::optional<QPoint> m_pointer;
  testing::FakeClock m_clock;
  ScriptedProbe m_probe;
  testing::RecordingMessageBoxes m_boxes;
  RecordingStarter m_starter;
  RecordingSound m_sound;
  testing::RecordingNotifier m_notifier;
  testing::RecordingSettingsListener m_dialog;  // the settings dialog as the core tells it
  int m_terminated = 0;
  bool m_placeable = true;       // the window system lets the program place its window
  bool m_tray = true;            // the desktop has a tray
  bool m_realTerminate = false;  // the program's own end of the loop instead of a counter
  std::unique_ptr<ProgramCore> m_core;
  std::unique_ptr<TMainFrame> m_frame;
};

TEST_F(MainFrameTest, StartsHiddenSwitchedOnAndPolling) {
  TMainFrame& frame = make();
  EXPECT_FALSE(frame.isVisible());
  EXPECT_TRUE(frame.windowFlags() & Qt::Tool);  // no task-bar entry
  EXPECT_TRUE(frame.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(frame.monitorState(), 1);
  EXPECT_TRUE(frame.cbState->isChecked());
  EXPECT_TRUE(frame.ttInternet->isActive());
  EXPECT_EQ(frame.ttInternet->interval(), 500);
  EXPECT_EQ(frame.mSwitch->text(), QStringLiteral("Выключить"));
  EXPECT_EQ(frame.trayState(), 1);
  EXPECT_EQ(frame.trayIcon->toolTip(), QStringLiteral("Pelmora v2.4"));
}

TEST_F(MainFrameTest, OffAsFirstArgumentStartsSwitchedOff) {
  TMainFrame& frame = make({QStringLiteral("pelmora"), QStringLiteral("/off")});
  EXPECT_EQ(frame.monitorState(), 0);
  EXPECT_FALSE(frame.ttInternet->isActive());
  EXPECT_EQ(frame.mSwitch->text(), QStringLiteral("Включить"));
  EXPECT_EQ(frame.trayState(), 0);
  frame.mSwitch->trigger();
  EXPECT_EQ(frame.monitorState(), 1);
  EXPECT_TRUE(frame.ttInternet->isActive());
}

TEST_F(MainFrameTest, OffInAnotherPlaceDoesNothing) {
  TMainFrame& frame =
      make({QStringLiteral("pelmora"), QStringLiteral("x"), QStringLiteral("/off")});
  EXPECT_EQ(frame.monitorState(), 1);
}

TEST_F(MainFrameTest, ConnectLocksTheSwitchAndMenuUntilTheDisconnect) {
  TMainFrame& frame = make();
  poll(1);
  EXPECT_EQ(frame.trayState(), 2);
  EXPECT_FALSE(frame.cbState->isEnabled());
  EXPECT_FALSE(frame.mSwitch->isEnabled());
  EXPECT_FALSE(frame.mStatistics->isEnabled());
  EXPECT_FALSE(frame.mSettings->isEnabled());
  poll(0);
  EXPECT_EQ(frame.trayState(), 1);
  EXPECT_TRUE(frame.cbState->isEnabled());
  EXPECT_TRUE(frame.mSwitch->isEnabled());
  EXPECT_TRUE(frame.mStatistics->isEnabled());
}

TEST_F(MainFrameTest, AConnectionShowsMetersAndHidesTheWindowAgain) {
  TMainFrame& frame = make();
  const std::vector<bool>& commit = m_dialog.commits;
  const int& statistics = m_dialog.statistics;
  ASSERT_FALSE(frame.isVisible());
  poll(1);  // ShowOnConnect and HideOnDisconnect are on by default
  EXPECT_TRUE(frame.isVisible());
  EXPECT_TRUE(frame.ttDuration->isActive());
  EXPECT_TRUE(frame.ttProtector->isActive());
  EXPECT_TRUE(frame.ttFlasher->isActive());
  ASSERT_EQ(commit.size(), 1u);
  EXPECT_FALSE(commit.at(0));

  m_clock.advance(1);
  frame.ttDurationTimer();
  EXPECT_EQ(frame.pTime->text(), QStringLiteral("00:00:06"));  // one second and SecondsPlus
  EXPECT_EQ(frame.pCents->text(), QStringLiteral("0   "));     // free for the first 20 seconds
  m_clock.advance(4);
  frame.ttProtectorTimer();
  EXPECT_TRUE(fs::exists(m_folder / "Duration.tmp"));

  m_clock.advance(95);
  poll(0);
  EXPECT_FALSE(frame.ttDuration->isActive());
  EXPECT_FALSE(frame.ttProtector->isActive());
  EXPECT_FALSE(frame.ttFlasher->isActive());
  EXPECT_TRUE(frame.ttHider->isActive());
  EXPECT_FALSE(fs::exists(m_folder / "Duration.tmp"));
  EXPECT_EQ(statistics, 1);
  EXPECT_TRUE(commit.at(1));
  EXPECT_EQ(frame.pTime->text(), QStringLiteral("00:01:45"));
  // 105 s at the MAX price of 75 from 21:30 cost 2.1875; CurrencyStatus 1 shows major units.
  EXPECT_EQ(frame.pCents->text(), QStringLiteral("0.02187   "));
  EXPECT_EQ(std::get<std::int32_t>(*stored("NumberT")), 1);
  frame.ttHiderTimer();
  EXPECT_FALSE(frame.isVisible());
  EXPECT_TRUE(m_boxes.shown.empty());
}

TEST_F(MainFrameTest, QuitWhileConnectedAsksAndCancelsOnYes) {
  TMainFrame& frame = make();
  poll(1);
  std::ofstream(m_folder / "Duration.tmp") << "x";
  m_boxes.answers = {MessageAnswer::No};
  frame.mReStart->trigger();
  EXPECT_EQ(m_terminated, 0);
  EXPECT_EQ(m_starter.started.size(), 0u);

  m_boxes.answers = {MessageAnswer::Yes};
  frame.mQuit->trigger();
  EXPECT_EQ(m_boxes.shown.size(), 2u);
  EXPECT_EQ(m_terminated, 1);
  EXPECT_EQ(m_starter.started.size(), 0u);  // the declined restart was forgotten
  EXPECT_EQ(log(), ConnectionLog::header() +
                       "08.12.2026 21:30:00 - Connected\r\n08.12.2026 21:30:00 - Canceled\r\n\r\n");
  EXPECT_FALSE(fs::exists(m_folder / "Duration.tmp"));
}

// The real message loop and the program's real terminate, driven through the window's own menu.
TEST_F(MainFrameTest, TheMenuEndsTheRealLoopWhateverWindowIsShown) {
  m_realTerminate = true;
  // Runs the loop until the action has ended it; 1 when a guard had to end it instead.
  const auto run = [](QAction* action) {
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(5000);
    QTimer::singleShot(0, action, &QAction::trigger);
    return QApplication::exec();
  };

  TMainFrame& shown = make();
  shown.mStatusClick();
  EXPECT_FALSE(shown.close());  // the desktop's close button or Alt+F4 cannot close it
  EXPECT_TRUE(shown.isVisible());
  EXPECT_EQ(run(shown.mQuit), 0);

  // Quit while connected, answered Yes: nothing of the connection is counted, and the metering
  // does not bring the crash file back.
  TMainFrame& connected = make();
  poll(1);
  m_clock.advance(5);
  connected.ttProtectorTimer();
  ASSERT_TRUE(fs::exists(m_folder / "Duration.tmp"));
  m_boxes.answers = {MessageAnswer::Yes};
  EXPECT_EQ(run(connected.mQuit), 0);
  QTest::qWait(6000);
  EXPECT_FALSE(fs::exists(m_folder / "Duration.tmp"));
  EXPECT_EQ(std::get<std::int32_t>(*stored("NumberT")), 0);
  EXPECT_EQ(std::get<std::int32_t>(*stored("SecondsT")), 0);
  EXPECT_EQ(log().find(" + ["), std::string::npos);

  TMainFrame& restarted = make();
  restarted.mStatusClick();
  EXPECT_EQ(run(restarted.mReStart), 0);
  EXPECT_EQ(m_starter.started.size(), 1u);
}

TEST_F(MainFrameTest, ASecondDisconnectDoesNotPutOffTheHiding) {
  TMainFrame& frame = make();
  poll(1);
  poll(0);
  ASSERT_TRUE(frame.ttHider->isActive());
  const int left = frame.ttHider->remainingTime();
  QTest::qWait(300);
  poll(1);
  poll(0);
  EXPECT_TRUE(m_boxes.shown.empty());
  ASSERT_TRUE(frame.ttHider->isActive());
  EXPECT_LT(frame.ttHider->remainingTime(), left - 200);
}

TEST_F(MainFrameTest, SystemShutdownEndsWithoutQuestionsAndKeepsTheCrashFile) {
  TMainFrame& frame = make();
  poll(1);
  std::ofstream(m_folder / "Duration.tmp") << "x";
  frame.systemShutdown();
  EXPECT_TRUE(m_boxes.shown.empty());
  EXPECT_EQ(m_terminated, 1);
  EXPECT_FALSE(frame.ttInternet->isActive());
  EXPECT_TRUE(fs::exists(m_folder / "Duration.tmp"));
  // The connection stays open in the log: the next start offers it for counting.
  EXPECT_EQ(log(), ConnectionLog::header() + "08.12.2026 21:30:00 - Connected");
}

#ifdef _WIN32
constexpr bool kCaptionsMeasured = false;
#else
constexpr bool kCaptionsMeasured = true;
#endif

// What the user sees of the strip: nothing covers anything else, each text and picture is
// whole, at the start and while connected with the longest texts the displays show.
TEST_F(MainFrameTest, EveryControlIsSeenWholeAndApart) {
  TMainFrame& frame = make();
  const auto seenWhole = [&frame] {
    // The drag handle is transparent and lies over the pictures; the switch lies over the handle.
    for (const QWidget* parent :
         {static_cast<QWidget*>(&frame), static_cast<QWidget*>(frame.MainFrameBG),
          static_cast<QWidget*>(frame.subBGStatus)}) {
      EXPECT_EQ(testing::overlappingControls(parent, {frame.Protector}),
                std::vector<std::string>{});
    }
    // The currency symbol lies on the cost display, beside its figures.
    EXPECT_EQ(frame.tCurrency->parentWidget(), frame.pCents);
    // Whether a text fits depends on the fonts at hand: the Windows tests run under wine, whose
    // offscreen fonts are not those of Windows, so there only the overlaps are checked.
    if (!kCaptionsMeasured) return;
    EXPECT_EQ(testing::cutCaptions(&frame), std::vector<std::string>{});
    // The figures are centred with blanks behind them; they start inside their display and
    // end before the currency symbol (the time: before the display's edge).
    for (const auto& [display, end] :
         {std::pair{frame.pCents, frame.tCurrency->x()},
          std::pair{frame.pTime, frame.pTime->contentsRect().right() + 1}}) {
      const QFontMetrics figures(display->font());
      const QRect room = display->contentsRect();
      const QString text = display->text();
      const int start = room.x() + (room.width() - figures.horizontalAdvance(text)) / 2;
      EXPECT_GE(start, room.x()) << text.toStdString();
      EXPECT_LE(start + figures.horizontalAdvance(text.trimmed()), end) << text.toStdString();
    }
  };
  EXPECT_EQ(frame.pCents->text(), QStringLiteral("0   "));
  EXPECT_EQ(frame.pTime->text(), QStringLiteral("00:00:00"));
  EXPECT_EQ(frame.tCurrency->text(), QStringLiteral("$"));
  EXPECT_TRUE(frame.pTime->font().bold());
  seenWhole();
  // The switch stays clickable above the drag handle, which covers the state glyph.
  EXPECT_EQ(frame.subBGStatus->childAt(frame.cbState->geometry().center()), frame.cbState);
  EXPECT_EQ(frame.subBGStatus->childAt(frame.iState->geometry().center()), frame.Protector);
  EXPECT_EQ(frame.stateGlyph(), QStringLiteral("State1"));
  EXPECT_EQ(frame.downGlyph(), QStringLiteral("Down0"));

  // The longest texts: seven figures of a cost, hours past 99, whole minutes.
  for (const char* cost : {"0.02187   ", "50.0166   ", "8888888   "}) {
    frame.showCost(cost);
    seenWhole();
  }
  for (const char* time : {"23:59:59", "100:00:00", "1234 мин."}) {
    frame.showDuration(time);
    seenWhole();
  }
  // The minor unit's sign is the widest of the signs the program writes.
  m_store.set(kProgramKey, "CurrencyStatus", 0);
  frame.mStatusClick();
  EXPECT_EQ(frame.tCurrency->text(), QStringLiteral("ц."));
  frame.showCost("50.0166   ");
  seenWhole();
  // A short text gets the display's own size back.
  frame.showCost("0   ");
  EXPECT_EQ(frame.pCents->font().pixelSize(), 11);

  for (QTimer* t : {frame.ttMover, frame.ttHider, frame.ttFlasher}) EXPECT_FALSE(t->isActive());
  EXPECT_EQ(frame.ttMover->interval(), 10);
  EXPECT_EQ(frame.ttHider->interval(), 10000);
  EXPECT_EQ(frame.ttFlasher->interval(), 250);
}

// Every picture the strip and the tray show is whole in its place, and the states look apart.
TEST_F(MainFrameTest, PicturesAreShownWholeAndTheStatesApart) {
  TMainFrame& frame = make();
  const auto fits = [](const QPixmap& picture, const QLabel* label) {
    return picture.width() <= label->contentsRect().width() &&
           picture.height() <= label->contentsRect().height();
  };
  for (int n = 0; n < 4; ++n) EXPECT_TRUE(fits(StateArt::stateGlyph(n), frame.iState)) << n;
  EXPECT_TRUE(fits(StateArt::downGlyph(false), frame.iDown));
  EXPECT_TRUE(fits(StateArt::downGlyph(true), frame.iDown));
  EXPECT_TRUE(fits(StateArt::financesPicture(), frame.iFinances));
  EXPECT_TRUE(fits(StateArt::timePicture(), frame.iTime));
  const auto tray = [](int state) { return StateArt::trayIcon(state).pixmap(32).toImage(); };
  EXPECT_EQ(tray(0).size(), QSize(32, 32));
  EXPECT_NE(tray(0), tray(1));
  EXPECT_NE(tray(1), tray(2));
  EXPECT_EQ(tray(7), tray(0));  // an unknown state shows "switched off"
}

TEST_F(MainFrameTest, DraggingSnapsToTheEdgesAndStaysOnTheScreen) {
  TMainFrame& frame = make();
  frame.mStatusClick();
  QSignalSpy dragged(&frame, &TMainFrame::positionDragged);
  // Pressed at (10, 5) in the cost display: the grab offset is (40, 5).
  const QPoint grab(40, 5);
  const std::vector<std::pair<QPoint, QPoint>> cases = {
      {{17, 17}, {0, 0}},       {{18, 18}, {18, 18}},     {{-50, -50}, {0, 0}},
      {{901, 736}, {901, 736}}, {{902, 737}, {919, 736}}, {{3000, 5000}, {919, 736}},
      {{500, 300}, {500, 300}}};
  for (const auto& [wanted, landed] : cases) {
    EXPECT_EQ(drag(frame.pCents, {10, 5}, wanted + grab), landed)
        << wanted.x() << "," << wanted.y();
    EXPECT_EQ(stored("XX"), Value(landed.x()));
    EXPECT_EQ(stored("YY"), Value(landed.y()));
    EXPECT_EQ(dragged.takeLast(), (QList<QVariant>{landed.x(), landed.y()}));
  }
  // The other handles count their offset by their own place in the contents frame.
  EXPECT_EQ(drag(frame.Protector, {5, 5}, {104, 204}), QPoint(100, 200));
  EXPECT_EQ(drag(frame.pTime, {3, 2}, {133, 216}), QPoint(100, 200));
  EXPECT_FALSE(frame.ttMover->isActive());
}

TEST_F(MainFrameTest, AStoredPositionOffTheScreenIsBroughtOntoItAndKept) {
  // Made on a larger screen; here 800 x 600 with a 24-pixel panel at the bottom.
  m_screen.fixed = {800, 600};
  m_screen.available = ScreenArea{0, 0, 800, 576};
  m_store.set(kProgramKey, "YY", 715);
  TMainFrame& frame = make();
  frame.mStatusClick();
  EXPECT_EQ(frame.pos(), QPoint(300, 544));
  EXPECT_EQ(stored("XX"), Value(300));
  EXPECT_EQ(stored("YY"), Value(544));

  // A monitor on the left went away; a panel on the left and top takes 40 pixels.
  frame.iDownClick();
  m_screen.available = ScreenArea{40, 40, 760, 560};
  m_store.set(kProgramKey, "XX", -1500);
  frame.mStatusClick();
  EXPECT_EQ(frame.pos(), QPoint(40, 544));
  EXPECT_EQ(stored("XX"), Value(40));
  // A position inside the area stays as it is.
  frame.iDownClick();
  m_store.set(kProgramKey, "XX", 600);
  m_store.set(kProgramKey, "YY", 50);
  frame.mStatusClick();
  EXPECT_EQ(frame.pos(), QPoint(600, 50));
}

TEST_F(MainFrameTest, AShortClickMovesNothingButWritesThePosition) {
  TMainFrame& frame = make();
  frame.mStatusClick();  // placed at XX = 300, YY = 200
  m_store.set(kProgramKey, "XX", 1);
  // Four ticks pass before the window follows the pointer.
  EXPECT_EQ(drag(frame.pCents, {10, 5}, {700, 700}, 4), QPoint(300, 200));
  EXPECT_EQ(stored("XX"), Value(300));
  EXPECT_EQ(stored("YY"), Value(200));
  EXPECT_FALSE(frame.ttMover->isActive());
  // The symbol over the display is no handle; a pointer that cannot be read moves nothing.
  QTest::mouseClick(frame.tCurrency, Qt::LeftButton, {}, {2, 2});
  EXPECT_FALSE(frame.ttMover->isActive());
  m_pointer.reset();
  QTest::mousePress(frame.pTime, Qt::LeftButton, {}, {2, 2});
  for (int i = 0; i < 6; ++i) frame.ttMoverTimer();
  QTest::mouseRelease(frame.pTime, Qt::LeftButton, {}, {2, 2});
  EXPECT_EQ(frame.pos(), QPoint(300, 200));
}

TEST_F(MainFrameTest, ARightPressOpensTheMenuAndEndsTheDragItStarted) {
  TMainFrame& frame = make();
  frame.mStatusClick();
  for (QWidget* w : {static_cast<QWidget*>(frame.pTime), static_cast<QWidget*>(frame.cbState)}) {
    QTest::mousePress(w, Qt::RightButton, {}, {4, 4});
    QContextMenuEvent menu(QContextMenuEvent::Mouse, {4, 4}, w->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(w, &menu);
    EXPECT_TRUE(frame.PopupMenu->isVisible());
    EXPECT_FALSE(frame.ttMover->isActive());
    frame.PopupMenu->hide();
    QTest::mouseRelease(w, Qt::RightButton, {}, {4, 4});
  }
  EXPECT_EQ(stored("XX"), Value(300));
}

TEST_F(MainFrameTest, HideButtonLightsUnderThePointerAndHides) {
  TMainFrame& frame = make();
  frame.mStatusClick();
  QTest::mouseMove(frame.iDown, {5, 5});
  EXPECT_EQ(frame.downGlyph(), QStringLiteral("Down1"));
  QTest::mouseMove(frame.pTime, {5, 5});
  EXPECT_EQ(frame.downGlyph(), QStringLiteral("Down0"));
  QTest::mouseMove(frame.iDown, {5, 20});
  QTest::mouseMove(frame.cbState, {5, 5});  // the switch is not the window
  EXPECT_TRUE(frame.hideButtonLit());
  QTest::mouseClick(frame.iDown, Qt::LeftButton, {}, {5, 20});
  EXPECT_FALSE(frame.isVisible());
  EXPECT_FALSE(frame.hideButtonLit());
  EXPECT_EQ(frame.downGlyph(), QStringLiteral("Down0"));

  frame.mStatus->trigger();
  EXPECT_TRUE(frame.isVisible());
  frame.mHide->trigger();
  EXPECT_FALSE(frame.isVisible());
  // The delayed hiding, also in the middle of a drag, leaves nothing ticking.
  frame.mStatusClick();
  frame.ttHider->start();
  QTest::mousePress(frame.pCents, Qt::LeftButton, {}, {2, 2});
  frame.ttHiderTimer();
  EXPECT_FALSE(frame.isVisible());
  EXPECT_FALSE(frame.ttHider->isActive());
  EXPECT_FALSE(frame.ttMover->isActive());
  QTest::mouseRelease(frame.pCents, Qt::LeftButton, {}, {2, 2});
}

// A desktop without a tray: the window is the only way to the menu, so nothing hides it, and
// a tray that goes away while it is hidden brings it back.
TEST_F(MainFrameTest, WithoutATrayTheWindowStaysReachable) {
  m_tray = false;
  TMainFrame& frame = make();
  EXPECT_TRUE(frame.isVisible());  // shown at start although ShowOnStart is 0
  QTest::mouseClick(frame.iDown, Qt::LeftButton, {}, {5, 20});
  frame.mHide->trigger();
  EXPECT_TRUE(frame.isVisible());
  poll(1);
  m_clock.advance(30);
  poll(0);
  ASSERT_TRUE(frame.ttHider->isActive());
  frame.ttHiderTimer();
  EXPECT_TRUE(frame.isVisible());
  EXPECT_FALSE(frame.ttHider->isActive());

  // A tray came: the window hides as usual; the tray went: the window is back within seconds.
  m_tray = true;
  frame.iDownClick();
  EXPECT_FALSE(frame.isVisible());
  ASSERT_TRUE(frame.ttTrayWatch->isActive());
  frame.ttTrayWatchTimer();
  EXPECT_FALSE(frame.isVisible());
  m_tray = false;
  frame.ttTrayWatchTimer();
  EXPECT_TRUE(frame.isVisible());
}

// Some trays (swaybar) ask the program to open the menu itself.
TEST_F(MainFrameTest, ATrayThatAsksForTheMenuGetsItAtThePointer) {
  TMainFrame& frame = make();
  m_pointer = QPoint(60, 40);  // where the whole menu fits on any screen
  frame.trayActivated(QSystemTrayIcon::Context);
  EXPECT_TRUE(frame.PopupMenu->isVisible());
  EXPECT_EQ(frame.PopupMenu->pos(), QPoint(60, 40));
  // A menu the tray opened already is left where it is.
  m_pointer = QPoint(10, 10);
  frame.trayActivated(QSystemTrayIcon::Context);
  EXPECT_EQ(frame.PopupMenu->pos(), QPoint(60, 40));
  frame.PopupMenu->hide();
}

// On Wayland the program neither places its window nor learns where it is: a drag is left to
// the window system and stores nothing, and a stored position brought onto the screen is not
// written back.
TEST_F(MainFrameTest, WhereTheWindowCannotBePlacedNoPositionIsStored) {
  m_placeable = false;
  m_store.set(kProgramKey, "XX", 5000);
  TMainFrame& frame = make();
  frame.mStatusClick();
  QTest::mousePress(frame.pTime, Qt::LeftButton, {}, {3, 2});
  EXPECT_FALSE(frame.ttMover->isActive());
  QTest::mouseRelease(frame.pTime, Qt::LeftButton, {}, {3, 2});
  drag(frame.pCents, {10, 5}, {500, 300});
  EXPECT_EQ(stored("XX"), Value(5000));
  EXPECT_EQ(stored("YY"), Value(200));
}

TEST_F(MainFrameTest, FlashingBlinksFourTimesAndEndsBrightGreen) {
  TMainFrame& frame = make();
  poll(1);
  frame.startFlashing();
  QStringList seen;
  for (int i = 0; i < 3; ++i) {
    frame.ttFlasherTimer();
    seen << frame.stateGlyph();
  }
  // A round cut short (a disconnect) does not shorten the next one.
  frame.stopFlashing();
  frame.startFlashing();
  seen.clear();
  for (int i = 0; i < 8; ++i) {
    frame.ttFlasherTimer();
    seen << frame.stateGlyph();
  }
  EXPECT_EQ(seen.join(QLatin1Char(' ')),
            QStringLiteral("State3 State2 State3 State2 State3 State2 State3 State2"));
  EXPECT_FALSE(frame.ttFlasher->isActive());
  EXPECT_EQ(frame.flashCount(), 0);
}

TEST_F(MainFrameTest, KeysAndDoubleClicksOpenTheSettings) {
  TMainFrame& frame = make();
  frame.mStatusClick();
  QApplication::setActiveWindow(&frame);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  QSignalSpy requested(&frame, &TMainFrame::settingsRequested);
  QSignalSpy swallowed(frame.mAntiCloser, &QAction::triggered);
  QTest::keyClick(&frame, Qt::Key_F4, Qt::AltModifier);
  EXPECT_EQ(swallowed.size(), 1);
  EXPECT_FALSE(frame.close());
  EXPECT_TRUE(frame.isVisible());
  QTest::keyClick(&frame, Qt::Key_F1);
  ASSERT_EQ(requested.size(), 1);
  EXPECT_EQ(requested.takeFirst().value(0).toString(), QStringLiteral("i"));
  // The Menu key and Shift+F10 open the popup menu, below the window.
  for (auto [key, modifiers] : {std::pair{Qt::Key_Menu, Qt::KeyboardModifiers{}},
                                std::pair{Qt::Key_F10, Qt::KeyboardModifiers{Qt::ShiftModifier}}}) {
    QTest::keyClick(&frame, key, modifiers);
    EXPECT_TRUE(frame.PopupMenu->isVisible()) << key;
    EXPECT_EQ(frame.PopupMenu->pos(), frame.mapToGlobal(QPoint(0, frame.height())));
    frame.PopupMenu->hide();
  }

  // The statistics open from the displays also while connected, when the menu is locked.
  poll(1);
  for (QWidget* w : {frame.Protector, frame.pCents, frame.pTime, frame.tCurrency}) {
    QTest::mouseDClick(w, Qt::LeftButton, {}, {3, 3});
  }
  EXPECT_EQ(requested.size(), 4);
  EXPECT_EQ(requested.takeLast().value(0).toString(), QStringLiteral("s"));
  requested.clear();
  // The tray: a double click while connected only shows; the middle button opens the options.
  frame.hide();
  m_probe.answer = 1;
  frame.trayActivated(QSystemTrayIcon::Trigger);
  frame.trayActivated(QSystemTrayIcon::DoubleClick);
  EXPECT_TRUE(frame.isVisible());
  EXPECT_TRUE(requested.isEmpty());
  m_probe.answer = 0;
  frame.trayActivated(QSystemTrayIcon::DoubleClick);
  frame.trayActivated(QSystemTrayIcon::MiddleClick);
  ASSERT_EQ(requested.size(), 2);
  EXPECT_EQ(requested.at(0).value(0).toString(), QStringLiteral("s"));
  EXPECT_EQ(requested.at(1).value(0).toString(), QStringLiteral("o"));
}

TEST_F(MainFrameTest, OnlyTheFirstShowingAfterStartUpClearsTheDisplaysForANewSymbol) {
  TMainFrame& frame = make();
  m_store.set(kProgramKey, "CurrencyStatus", 0);
  frame.showCost("1.5   ");
  frame.showDuration("00:12:34");
  frame.mStatusClick();
  EXPECT_EQ(frame.pos(), QPoint(300, 200));
  EXPECT_EQ(frame.tCurrency->text(), QStringLiteral("ц."));
  EXPECT_EQ(frame.pCents->text(), QStringLiteral("0   "));
  EXPECT_EQ(frame.pTime->text(), QStringLiteral("00:00:00"));
  EXPECT_FALSE(frame.startUpMarker());
  EXPECT_EQ(frame.currencyStatus(), 0);
  EXPECT_EQ(frame.extraSeconds(), 5);
  EXPECT_EQ(frame.freeSeconds(), 20);

  frame.iDownClick();
  m_store.set(kProgramKey, "CurrencySub", std::string("р."));
  frame.showCost("2   ");
  frame.mStatusClick();
  EXPECT_EQ(frame.tCurrency->text(), QStringLiteral("р."));
  EXPECT_EQ(frame.pCents->text(), QStringLiteral("2   "));
}

TEST_F(MainFrameTest, StoreErrorsAreShownAndTheWindowGoesOn) {
  TMainFrame& frame = make();
  m_store.set(kProgramKey, "YY", std::string("top"));
  frame.mStatusClick();
  ASSERT_EQ(m_boxes.shown.size(), 1u);
  EXPECT_EQ(m_boxes.shown[0].icon, MessageIcon::Error);
  EXPECT_NE(m_boxes.shown[0].text.find("YY"), std::string::npos);
  EXPECT_TRUE(frame.isVisible());

  m_store.refuseWrites(true);
  drag(frame.pCents, {1, 1}, {500, 500});
  EXPECT_EQ(m_boxes.shown.size(), 2u);
  EXPECT_FALSE(frame.ttMover->isActive());
  frame.mQuit->trigger();
  EXPECT_EQ(m_terminated, 1);
}

// A store error at start (a value of the wrong type, a store that refuses writes as a read-only
// or full one does): the box names it and says the monitoring is off, the switch shows it off
// and stays locked, and nothing polls.
TEST_F(MainFrameTest, AStoreErrorAtStartLeavesTheMonitorOffAndLocked) {
  const std::vector<std::pair<const char*, Value>> wrong = {
      {"SecondsPlus", std::string("five")}, {"Zero", std::string("20")}, {"Account", 100}};
  for (std::size_t fault = 0; fault <= wrong.size(); ++fault) {
    SetUp();
    m_boxes.shown.clear();
    const char* name = fault < wrong.size() ? wrong[fault].first : "";
    if (fault < wrong.size()) {
      m_store.set(kProgramKey, name, wrong[fault].second);
    } else {
      m_store.refuseWrites(true);
    }
    TMainFrame& frame = make();
    m_store.refuseWrites(false);
    ASSERT_EQ(m_boxes.shown.size(), 1u) << fault;
    EXPECT_NE(m_boxes.shown[0].text.find(name), std::string::npos) << m_boxes.shown[0].text;
    EXPECT_NE(m_boxes.shown[0].text.find("Наблюдение за соединением выключено"), std::string::npos);
    EXPECT_FALSE(frame.cbState->isChecked());
    EXPECT_FALSE(frame.cbState->isEnabled());
    EXPECT_FALSE(frame.mSwitch->isEnabled());
    EXPECT_EQ(frame.monitorState(), kMonitorOff);
    EXPECT_FALSE(frame.ttInternet->isActive());
    if (*name != '\0') m_store.erase(kProgramKey, name);
  }
}

// Another program holds the store at start: the sequence runs again each second, silently and
// with the switch locked, and the monitoring begins once the store is free.
TEST_F(MainFrameTest, ABusyStoreAtStartIsWaitedForWithoutBlocking) {
  m_store.beBusyForWrites(true);
  TMainFrame& frame = make();
  EXPECT_TRUE(m_boxes.shown.empty());
  EXPECT_TRUE(frame.ttStartUp->isActive());
  EXPECT_FALSE(frame.cbState->isEnabled());
  frame.ttStartUpTimer();
  EXPECT_TRUE(frame.ttStartUp->isActive());
  m_store.beBusyForWrites(false);
  frame.ttStartUpTimer();
  EXPECT_FALSE(frame.ttStartUp->isActive());
  EXPECT_TRUE(m_boxes.shown.empty());
  EXPECT_TRUE(frame.cbState->isChecked());
  EXPECT_TRUE(frame.cbState->isEnabled());
  poll(1);
  EXPECT_NE(log().find(" - Connected"), std::string::npos);
  poll(0);
}

// Tuesday 21:30, evening zone #1: a balance that runs out during the connection is told once,
// and the tooltip over the cost names the zone and when the night zone begins.
TEST_F(MainFrameTest, TheBudgetIsGuardedAndTheTooltipLooksAhead) {
  // 0.003 $ is 0.3 ц.: at 75 ц. an hour that is 14.4 seconds, the 5 added ones included.
  m_store.set(kProgramKey, "Account", std::string("0,003"));
  m_store.set(kProgramKey, "Zero", 0);
  TMainFrame& frame = make();
  const std::vector<std::string>& notified = m_notifier.titles;
  poll(1);
  for (int second = 0; second < 9; ++second) {
    m_clock.advance(1);
    frame.ttDurationTimer();
  }
  EXPECT_EQ(notified.size(), 0u);  // 14 seconds: 0.2917 ц.
  m_clock.advance(1);
  frame.ttDurationTimer();
  // 15 seconds cost 0.3125 ц.: the balance ran out, once.
  ASSERT_EQ(notified.size(), 1u);
  EXPECT_EQ(notified.at(0), "Деньги на счёте закончились");

  QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), frame.pCents->mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(frame.pCents, &help);
  EXPECT_EQ(QToolTip::text(),
            QStringLiteral("Зона #1: 0.75 $ в час\nДешевле с 02:00 завтра: зона #3, 0.2 $ в час"));
  poll(0);
}

}  // namespace
}  // namespace pelmora
