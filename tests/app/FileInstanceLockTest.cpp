#include "app/InstanceLock.h"

#include <filesystem>
#include <memory>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace pelmora {
namespace {

namespace fs = std::filesystem;

class LockTest : public ::testing::Test {
 protected:
  LockTest() : path(fs::temp_directory_path() / ("pelmora-lock-" + std::to_string(::getpid()))) {
    fs::remove(path);
  }
  ~LockTest() override {
    fs::remove(path);
    fs::remove(fs::path(path) += ".check");
  }
  fs::path path;
};

// Locks of one process on separate opens conflict like locks of separate processes.
TEST_F(LockTest, OnlyTheFirstInstanceIsFirstAndTheLockOutlivesIt) {
  auto first = std::make_unique<FileInstanceLock>(path);
  EXPECT_TRUE(first->acquire());
  auto second = std::make_unique<FileInstanceLock>(path);
  EXPECT_FALSE(second->acquire());  // refused, unless started with /reboot: it keeps a reference
  first.reset();
  // The restarted instance still holds the lock after the old one ended.
  EXPECT_FALSE(FileInstanceLock(path).acquire());
  second.reset();
  EXPECT_TRUE(FileInstanceLock(path).acquire());
}

TEST_F(LockTest, ALockThatCannotBeMadeMeansAnotherInstance) {
  EXPECT_FALSE(FileInstanceLock(path / "no" / "such" / "folder").acquire());
}

TEST_F(LockTest, SimultaneousStartsYieldExactlyOneFirst) {
  constexpr int kStarts = 12;
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  pid_t children[kStarts];
  for (int i = 0; i < kStarts; ++i) {
    children[i] = ::fork();
    ASSERT_GE(children[i], 0);
    if (children[i] == 0) {
      ::close(pipeFds[1]);
      char go;
      [[maybe_unused]] auto n = ::read(pipeFds[0], &go, 1);  // all start together
      FileInstanceLock lock(path);
      const bool first = lock.acquire();
      ::usleep(300000);  // hold the reference while the others check
      ::_exit(first ? 0 : 1);
    }
  }
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);  // releases every child at once
  int firsts = 0;
  for (pid_t child : children) {
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 0) ++firsts;
  }
  EXPECT_EQ(firsts, 1);
}

}  // namespace
}  // namespace pelmora
