#include "app/QuitController.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ProgramStarter.h"
#include "store/ConnectionLog.h"
#include "store/DurationFile.h"
#include "support/Doubles.h"
#include "support/FakeClock.h"
#include "support/RecordingMessageBoxes.h"
#include "support/TemporaryFolder.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using testing::FakeClock;
using testing::RecordingMessageBoxes;

using testing::RecordingStarter;

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class QuitTest : public ::testing::Test {
 protected:
  QuitTest() : log(folder / "Internet.LOG"), durationFile(folder / "Duration.tmp") {
    clock.set(2026, 12, 8, 9, 5, 7);
    std::ofstream(folder / "Internet.LOG", std::ios::binary) << "08.12.2026 09:00:00 - Connected";
    std::ofstream(folder / "Duration.tmp") << "305 9 0 2 09 05 05\n08:12:2026";
  }
  QuitController make() {
    return QuitController({[this] { return connected; }, boxes, clock, log, durationFile, starter,
                           "/opt/my apps/pelmora", [this] { ++terminated; }});
  }

  testing::TemporaryFolder folder;
  ConnectionLog log;
  DurationFile durationFile;
  FakeClock clock;
  RecordingMessageBoxes boxes;
  RecordingStarter starter;
  bool connected = false;
  int terminated = 0;
};

TEST_F(QuitTest, NotConnectedQuitsAtOnceAndWritesNothing) {
  auto quit = make();
  quit.mQuitClick();
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(terminated, 1);
  EXPECT_TRUE(starter.started.empty());
  EXPECT_EQ(readFile(folder / "Internet.LOG"), "08.12.2026 09:00:00 - Connected");
}

TEST_F(QuitTest, ConnectedAndNoChangesNothing) {
  connected = true;
  boxes.answers = {MessageAnswer::No};
  auto quit = make();
  quit.mQuitClick();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, "Хотите выйти?");
  EXPECT_EQ(boxes.shown[0].text,
            "Внимание! Обнаружено соединение с Итернетом.\nЕсли Вы сейчас закроете программу, "
            "данное соединение НЕ будет засчитано.\nВы уверены, что хотите закрыть программу?");
  EXPECT_EQ(boxes.shown[0].defaultAnswer, MessageAnswer::No);
  EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(terminated, 0);
  EXPECT_TRUE(fs::exists(folder / "Duration.tmp"));
  EXPECT_EQ(readFile(folder / "Internet.LOG"), "08.12.2026 09:00:00 - Connected");
}

TEST_F(QuitTest, ConnectedAndYesCancelsTheConnection) {
  connected = true;
  boxes.answers = {MessageAnswer::Yes};
  auto quit = make();
  quit.mQuitClick();
  EXPECT_EQ(terminated, 1);
  EXPECT_FALSE(fs::exists(folder / "Duration.tmp"));
  EXPECT_EQ(readFile(folder / "Internet.LOG"),
            "08.12.2026 09:00:00 - Connected\r\n08.12.2026 09:05:07 - Canceled\r\n\r\n");
}

TEST_F(QuitTest, RestartStartsTheNewInstanceWithRebootThenEnds) {
  auto quit = make();
  quit.mReStartClick();
  EXPECT_EQ(starter.started, (std::vector<std::string>{"/opt/my apps/pelmora|/reboot"}));
  EXPECT_EQ(terminated, 1);

  connected = true;
  boxes.answers = {MessageAnswer::Yes};
  auto confirmed = make();
  confirmed.mReStartClick();
  EXPECT_EQ(starter.started.size(), 2u);
  EXPECT_EQ(terminated, 2);
  EXPECT_FALSE(fs::exists(folder / "Duration.tmp"));
}

TEST_F(QuitTest, ADeclinedRestartDoesNotTurnALaterQuitIntoARestart) {
  connected = true;
  boxes.answers = {MessageAnswer::No};
  auto quit = make();
  quit.mReStartClick();
  EXPECT_FALSE(quit.restartRequested());
  connected = false;
  quit.mQuitClick();
  EXPECT_TRUE(starter.started.empty());
  EXPECT_EQ(terminated, 1);
}

TEST_F(QuitTest, AnUnwritableLogDoesNotStopTheQuit) {
  connected = true;
  boxes.answers = {MessageAnswer::Yes};
  fs::remove(folder / "Internet.LOG");
  fs::create_directory(folder / "Internet.LOG");  // cannot be opened for appending
  auto quit = make();
  quit.mQuitClick();
  EXPECT_EQ(terminated, 1);
  EXPECT_FALSE(fs::exists(folder / "Duration.tmp"));
}

}  // namespace
}  // namespace pelmora
