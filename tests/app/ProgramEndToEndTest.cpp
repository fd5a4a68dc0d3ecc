// Drives the real program: offscreen, its own data folder, a fake sysfs tree, scripted answers.

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include <unistd.h>

#include <gtest/gtest.h>

#include "app/ProgramFixture.h"
#include "support/ProgramProcess.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::instanceLockHeld;
using testing::ProgramProcess;
using testing::waitUntil;

using ProgramTest = testing::ProgramFixture;

TEST_F(ProgramTest, ASecondStartIsRefusedAndTheFirstRunsOn) {
  auto first = start();
  waitForLock();

  auto second = start();
  EXPECT_EQ(second->wait(10s), 1);
  EXPECT_EQ(second->messageBoxes(), "Pelmora | Программа уже запущена!\n");
  EXPECT_TRUE(first->running());

  first->signal(SIGTERM);
  EXPECT_EQ(first->wait(10s), 0);
  EXPECT_EQ(first->messageBoxes(), "");  // ended without a question
  // Once the first has ended, the lock is free and a plain start runs.
  EXPECT_FALSE(instanceLockHeld(home()));
  auto third = start();
  waitForLock();
  EXPECT_TRUE(third->running());
}

TEST_F(ProgramTest, RebootPassesTheCheckAndKeepsLaterStartsOut) {
  auto old = start();
  waitForLock();
  auto restarted = start({"/reboot"});
  std::this_thread::sleep_for(1500ms);
  ASSERT_TRUE(restarted->running());

  old->signal(SIGTERM);
  EXPECT_EQ(old->wait(10s), 0);
  // The restarted instance keeps the lock: a later plain start is still refused.
  auto later = start();
  EXPECT_EQ(later->wait(10s), 1);
  // Only the first argument counts, and only exactly.
  auto spelt = start({"/REBOOT"});
  EXPECT_EQ(spelt->wait(10s), 1);
  auto second = start({"/off", "/reboot"});
  EXPECT_EQ(second->wait(10s), 1);

  restarted->signal(SIGINT);
  EXPECT_EQ(restarted->wait(10s), 0);
}

TEST_F(ProgramTest, ShutdownSignalLeavesTheCrashFileForTheNextStart) {
  // A link is up: the program meters it when the signal comes.
  setLink(true);
  auto program = start();
  waitForLock();
  ASSERT_TRUE(waitForText("Internet.LOG", " - Connected"));
  ASSERT_TRUE(waitUntil([&] { return fs::exists(home() / "Duration.tmp"); }, 10s));
  program->signal(SIGTERM);
  EXPECT_EQ(program->wait(10s), 0);
  EXPECT_EQ(program->messageBoxes(), "");
  EXPECT_TRUE(fs::exists(home() / "Duration.tmp"));
  EXPECT_EQ(file("Internet.LOG").find("DisConnected"), std::string::npos);
}

}  // namespace
}  // namespace pelmora
