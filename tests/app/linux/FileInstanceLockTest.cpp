#include "app/linux/FileInstanceLock.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/TemporaryFolder.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class LockTest : public ::testing::Test {
 protected:
  testing::TemporaryFolder folder;
  fs::path path = folder / "pelmora.lock";
};

// Locks of one process on separate opens conflict like locks of separate processes.
TEST_F(LockTest, OnlyTheFirstInstanceIsFirstAndTheLockOutlivesIt) {
  auto first = std::make_unique<FileInstanceLock>(path);
  EXPECT_TRUE(first->acquire().first());
  auto second = std::make_unique<FileInstanceLock>(path);
  EXPECT_EQ(second->acquire().outcome, LockOutcome::Taken);  // refused, but keeps a reference
  first.reset();
  // The second still holds the lock after the first ended.
  EXPECT_EQ(FileInstanceLock(path).acquire().outcome, LockOutcome::Taken);
  second.reset();
  EXPECT_TRUE(FileInstanceLock(path).acquire().first());
}

TEST_F(LockTest, ALockThatCannotBeMadeIsNotAnotherInstance) {
  const LockResult result = FileInstanceLock(path / "no" / "such" / "folder").acquire();
  EXPECT_EQ(result.outcome, LockOutcome::Unusable);
  EXPECT_EQ(result.error, std::errc::no_such_file_or_directory);
}

TEST_F(LockTest, ARestartWaitsUntilTheOldInstanceHasEnded) {
  auto old = std::make_unique<FileInstanceLock>(path);
  ASSERT_TRUE(old->acquire().first());
  FileInstanceLock restarted(path);
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(restarted.acquireWhenFree(300ms, 20ms).outcome, LockOutcome::Taken);
  EXPECT_GE(std::chrono::steady_clock::now() - before, 300ms);

  std::thread ending([&] {
    std::this_thread::sleep_for(200ms);
    old.reset();
  });
  EXPECT_TRUE(restarted.acquireWhenFree(10s, 20ms).first());
  ending.join();
  // From then on it holds the lock like any first instance.
  EXPECT_EQ(FileInstanceLock(path).acquire().outcome, LockOutcome::Taken);
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
      const bool first = lock.acquire().first();
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
