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

#include "support/ProgramProcess.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::instanceLockHeld;
using testing::ProgramProcess;
using testing::waitUntil;

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_root = fs::temp_directory_path() /
             ("pelmora-e2e-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_root);
    fs::create_directories(home());
    fs::create_directories(sysfs() / "class" / "net");
    fs::create_directories(m_root / "runtime");
    fs::permissions(m_root / "runtime", fs::perms::owner_all, fs::perm_options::replace);
  }
  void TearDown() override { fs::remove_all(m_root); }

  fs::path home() const { return m_root / "home"; }
  fs::path sysfs() const { return m_root / "sys"; }

  std::unique_ptr<ProgramProcess> start(std::vector<std::string> args = {},
                                        const std::string& answers = "") {
    const std::string name = "stderr-" + std::to_string(++m_runs) + ".txt";
    return std::make_unique<ProgramProcess>(
        PELMORA_EXECUTABLE, std::move(args),
        std::map<std::string, std::string>{{"QT_QPA_PLATFORM", "offscreen"},
                                           {"PELMORA_HOME", home().string()},
                                           {"PELMORA_SYSFS", sysfs().string()},
                                           {"PELMORA_ANSWERS", answers},
                                           {"XDG_CONFIG_HOME", (m_root / "config").string()},
                                           {"XDG_RUNTIME_DIR", (m_root / "runtime").string()}},
        m_root / name);
  }

  // Started and holding its reference to the instance lock.
  void waitForLock() {
    ASSERT_TRUE(waitUntil([&] { return instanceLockHeld(home()); }, 10s));
  }

  fs::path m_root;
  int m_runs = 0;
};

TEST_F(ProgramTest, ASecondStartIsRefusedAndTheFirstRunsOn) {
  auto first = start();
  waitForLock();

  auto second = start();
  EXPECT_EQ(second->wait(10s), 1);
  EXPECT_EQ(second->errorOutput(), "Pelmora | Программа уже запущена!\n");
  EXPECT_TRUE(first->running());

  first->signal(SIGTERM);
  EXPECT_EQ(first->wait(10s), 0);
  EXPECT_EQ(first->errorOutput(), "");  // ended without a question
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
  const fs::path ppp = sysfs() / "class" / "net" / "ppp0";
  fs::create_directories(ppp);
  std::ofstream(ppp / "type") << "512\n";
  std::ofstream(ppp / "flags") << "0x10d1\n";
  auto program = start();
  waitForLock();
  std::this_thread::sleep_for(1200ms);
  std::ofstream(home() / "Duration.tmp") << "12 9 0 2 09 00 12\n08:12:2026";
  program->signal(SIGTERM);
  EXPECT_EQ(program->wait(10s), 0);
  EXPECT_EQ(program->errorOutput(), "");
  EXPECT_TRUE(fs::exists(home() / "Duration.tmp"));
}

}  // namespace
}  // namespace pelmora
