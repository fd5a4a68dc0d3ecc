#include "app/win/MutexInstanceLock.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "support/win/HelperProgram.h"

namespace pelmora {
namespace {

using namespace std::chrono_literals;

// A name of its own, so a running program's "Pelmora" lock is never touched.
std::string lockName() {
  return "Pelmora-test-" + std::to_string(GetCurrentProcessId());
}

// Exit code of a second process asking for the lock: 0 free, 1 taken.
int secondProcessAsks(const std::string& name) {
  const std::wstring line = L"\"" + testing::besideThisProgram(testing::kHelperProgram).wstring() +
                            L"\" lock " + std::wstring(name.begin(), name.end());
  return testing::runAndWait(line, 30s);
}

TEST(MutexInstanceLock, ASecondProcessSeesItTakenUntilTheLastHolderEnds) {
  const std::string name = lockName();
  ASSERT_EQ(secondProcessAsks(name), 0) << "free before anyone holds it";

  auto first = std::make_unique<MutexInstanceLock>(name);
  EXPECT_TRUE(first->acquire().first());
  EXPECT_EQ(secondProcessAsks(name), 1);

  // A restarted instance keeps a reference although it was not first ...
  auto restarted = std::make_unique<MutexInstanceLock>(name);
  EXPECT_EQ(restarted->acquire().outcome, LockOutcome::Taken);
  first.reset();
  // ... so the lock outlives the old instance.
  EXPECT_EQ(secondProcessAsks(name), 1);
  restarted.reset();
  EXPECT_EQ(secondProcessAsks(name), 0);
}

TEST(MutexInstanceLock, ARestartWaitsUntilTheOldInstanceHasEnded) {
  const std::string name = lockName();
  auto old = std::make_unique<MutexInstanceLock>(name);
  ASSERT_TRUE(old->acquire().first());
  MutexInstanceLock restarted(name);
  EXPECT_EQ(restarted.acquireWhenFree(300ms, 20ms).outcome, LockOutcome::Taken);

  std::thread ending([&] {
    std::this_thread::sleep_for(200ms);
    old.reset();
  });
  EXPECT_TRUE(restarted.acquireWhenFree(10s, 20ms).first());
  ending.join();
  EXPECT_EQ(secondProcessAsks(name), 1);
}

TEST(MutexInstanceLock, AnErrorOtherThanAlreadyExistsAlsoMeansNotFirst) {
  // A name with a backslash outside a known namespace cannot be created.
  MutexInstanceLock broken("No\\Such\\Namespace\\Pelmora");
  EXPECT_EQ(broken.acquire().outcome, LockOutcome::Taken);
}

}  // namespace
}  // namespace pelmora
