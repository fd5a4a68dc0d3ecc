// Drives the real program: offscreen, its own data folder, a fake sysfs tree, scripted answers.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include <sys/mount.h>
#include <sys/stat.h>
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

TEST_F(ProgramTest, ARestartWaitsForTheOldInstanceAndKeepsLaterStartsOut) {
  // The old instance meters a connection when it restarts the program.
  setLink(true);
  auto old = start();
  waitForLock();
  ASSERT_TRUE(waitUntil([&] { return fs::exists(home() / "Duration.tmp"); }, 10s));
  auto restarted = start({"/reboot"});
  std::this_thread::sleep_for(1500ms);
  // The restarted one waits: it neither meters the connection too nor takes the old one's
  // crash file for a crash.
  ASSERT_TRUE(restarted->running());
  EXPECT_EQ(restarted->messageBoxes(), "");
  const std::string log = file("Internet.LOG");
  EXPECT_EQ(log.find(" - Connected"), log.rfind(" - Connected"));

  old->signal(SIGTERM);
  EXPECT_EQ(old->wait(10s), 0);
  // Then it starts up: the connection the old one left behind is offered for counting.
  EXPECT_TRUE(waitUntil([&] { return !restarted->messageBoxes().empty(); }, 10s));
  // It keeps the lock: a later plain start is refused.
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

TEST_F(ProgramTest, AnUnusableDataFolderIsReportedNotTakenForAnotherInstance) {
  const auto box = [&](const std::string& reason) {
    return "Pelmora | Не удалось открыть папку данных программы:\\n" + home().string() +
           "\\nПричина: " + reason + ".\n";
  };
  // A folder that cannot be written, with the files of an earlier run in it: refused at once,
  // never a program that runs without metering.
  auto earlier = start();
  waitForLock();
  earlier->signal(SIGTERM);
  ASSERT_EQ(earlier->wait(10s), 0);
  if (::geteuid() != 0) {  // permissions do not stop root
    fs::permissions(home(), fs::perms::owner_read | fs::perms::owner_exec,
                    fs::perm_options::replace);
    auto readOnly = start();
    EXPECT_EQ(readOnly->wait(10s), 2);
    EXPECT_EQ(readOnly->messageBoxes(), box("нет доступа"));
    fs::permissions(home(), fs::perms::owner_all, fs::perm_options::replace);
  } else if (::mount(home().c_str(), home().c_str(), nullptr, MS_BIND, nullptr) == 0) {
    // Root meets a read-only mount instead (where it may mount at all).
    if (::mount(nullptr, home().c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0) {
      auto readOnly = start();
      EXPECT_EQ(readOnly->wait(10s), 2);
      EXPECT_EQ(readOnly->messageBoxes(), box("файловая система доступна только для чтения"));
    }
    ::umount(home().c_str());
  }
  // The lock file cannot be opened.
  fs::remove(home() / "pelmora.lock");
  fs::create_directory(home() / "pelmora.lock");
  auto noLock = start();
  EXPECT_EQ(noLock->wait(10s), 2);
  EXPECT_EQ(noLock->messageBoxes(), box(std::strerror(EISDIR)));
  // The folder cannot be created.
  fs::remove_all(home());
  std::ofstream(home()) << "not a folder";
  auto noFolder = start();
  EXPECT_EQ(noFolder->wait(10s), 2);
  EXPECT_EQ(noFolder->messageBoxes(), box("на месте папки находится файл"));
}

// The permission bits, or nothing when the file is gone (a replacement renamed meanwhile).
std::optional<unsigned> modeOf(const fs::path& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return status.st_mode & 07777;
}

TEST_F(ProgramTest, TheDataFolderAndTheProgramsFilesAreTheUsersAlone) {
  const mode_t userMask = ::umask(022);
  const auto above = modeOf(m_root);
  fs::remove_all(home());
  setLink(true);
  auto first = start();
  ASSERT_TRUE(waitUntil([&] { return fs::exists(home() / "Duration.tmp"); }, 10s));
  waitForLock();
  EXPECT_EQ(modeOf(home()), 0700u);
  for (const char* name : {"registry.db", "registry.db-wal", "registry.db-shm", "Internet.LOG",
                           "Account.LOG", "Duration.tmp", "pelmora.lock", "pelmora.lock.check"}) {
    EXPECT_TRUE(fs::exists(home() / name)) << name;
  }
  for (const auto& entry : fs::directory_iterator(home())) {
    if (const auto mode = modeOf(entry.path())) {
      EXPECT_EQ(*mode, 0600u) << entry.path();
    }
  }
  first->signal(SIGTERM);
  ASSERT_EQ(first->wait(10s), 0);

  // A folder from before, open to everybody, with a file of the user's own in it.
  std::ofstream(home() / "Internet.LOG.new") << "left by a crash";
  std::ofstream(home() / "notes.txt") << "mine";
  fs::permissions(home(), static_cast<fs::perms>(0755), fs::perm_options::replace);
  for (const auto& entry : fs::directory_iterator(home())) {
    fs::permissions(entry.path(), static_cast<fs::perms>(0644), fs::perm_options::replace);
  }
  auto again = start();
  waitForLock();
  EXPECT_EQ(modeOf(home()), 0700u);
  for (const auto& entry : fs::directory_iterator(home())) {
    if (const auto mode = modeOf(entry.path())) {
      EXPECT_EQ(*mode, entry.path().filename() == "notes.txt" ? 0644u : 0600u) << entry.path();
    }
  }
  EXPECT_EQ(modeOf(m_root), above);  // the folders above are not the program's
  again->signal(SIGTERM);
  EXPECT_EQ(again->wait(10s), 0);
  ::umask(userMask);
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
