// The status window in-process, offscreen, with a scripted probe and answered message boxes.

#include "ui/status/TMainFrame.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QSystemTrayIcon>
#include <QTimer>

#include <gtest/gtest.h>

#include "monitor/ConnectionProbe.h"
#include "platform/ProgramStarter.h"
#include "support/FakeClock.h"
#include "support/RecordingMessageBoxes.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

struct ScriptedProbe : ConnectionProbe {
  int answer = 0;
  int probe() override { return answer; }
};

struct CountingStarter : ProgramStarter {
  int starts = 0;
  bool start(const std::string&, const std::vector<std::string>&) override { return ++starts; }
  bool startCommandLine(const std::string&) override { return false; }
};

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_folder = fs::temp_directory_path() / ("pelmora-ui-" + std::to_string(::getpid()));
    fs::remove_all(m_folder);
    fs::create_directories(m_folder);
    m_clock.set(2026, 12, 8, 21, 30, 0);
  }
  void TearDown() override {
    m_frame.reset();
    fs::remove_all(m_folder);
  }

  TMainFrame& make(QStringList args = {QStringLiteral("pelmora")}) {
    m_frame = std::make_unique<TMainFrame>(
        TMainFrame::Services{m_clock, m_probe, m_boxes, m_starter, DataFolder(m_folder),
                             "/usr/bin/pelmora", args, [this] { ++m_terminated; }});
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

  fs::path m_folder;
  testing::FakeClock m_clock;
  ScriptedProbe m_probe;
  testing::RecordingMessageBoxes m_boxes;
  CountingStarter m_starter;
  int m_terminated = 0;
  std::unique_ptr<TMainFrame> m_frame;
};

TEST_F(MainFrameTest, StartsHiddenSwitchedOnAndPolling) {
  TMainFrame& frame = make();
  EXPECT_FALSE(frame.isVisible());
  EXPECT_TRUE(frame.windowFlags() & Qt::Tool);  // no task-bar entry
  EXPECT_TRUE(frame.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(frame.monitor().state(), 1);
  EXPECT_TRUE(frame.cbState->isChecked());
  EXPECT_TRUE(frame.ttInternet->isActive());
  EXPECT_EQ(frame.ttInternet->interval(), 500);
  EXPECT_EQ(frame.mSwitch->text(), QStringLiteral("Выключить"));
  EXPECT_EQ(frame.trayState(), 1);
  EXPECT_EQ(frame.trayIcon->toolTip(), QStringLiteral("Pelmora v2.4"));
}

TEST_F(MainFrameTest, OffAsFirstArgumentStartsSwitchedOff) {
  TMainFrame& frame = make({QStringLiteral("pelmora"), QStringLiteral("/off")});
  EXPECT_EQ(frame.monitor().state(), 0);
  EXPECT_FALSE(frame.ttInternet->isActive());
  EXPECT_EQ(frame.mSwitch->text(), QStringLiteral("Включить"));
  EXPECT_EQ(frame.trayState(), 0);
  frame.mSwitch->trigger();
  EXPECT_EQ(frame.monitor().state(), 1);
  EXPECT_TRUE(frame.ttInternet->isActive());
}

TEST_F(MainFrameTest, OffInAnotherPlaceDoesNothing) {
  TMainFrame& frame =
      make({QStringLiteral("pelmora"), QStringLiteral("x"), QStringLiteral("/off")});
  EXPECT_EQ(frame.monitor().state(), 1);
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

TEST_F(MainFrameTest, QuitWhileConnectedAsksAndCancelsOnYes) {
  TMainFrame& frame = make();
  poll(1);
  std::ofstream(m_folder / "Duration.tmp") << "x";
  m_boxes.answers = {MessageAnswer::No};
  frame.mReStart->trigger();
  EXPECT_EQ(m_terminated, 0);
  EXPECT_EQ(m_starter.starts, 0);

  m_boxes.answers = {MessageAnswer::Yes};
  frame.mQuit->trigger();
  EXPECT_EQ(m_boxes.shown.size(), 2u);
  EXPECT_EQ(m_terminated, 1);
  EXPECT_EQ(m_starter.starts, 0);  // the declined restart was forgotten
  EXPECT_EQ(log(), "\r\n08.12.2026 21:30:00 - Canceled\r\n\r\n");
  EXPECT_FALSE(fs::exists(m_folder / "Duration.tmp"));
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
  EXPECT_FALSE(fs::exists(m_folder / "Internet.LOG"));
}

}  // namespace
}  // namespace pelmora

int main(int argc, char** argv) {
  // Widget tests never need a display, also when CTest lists them.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
