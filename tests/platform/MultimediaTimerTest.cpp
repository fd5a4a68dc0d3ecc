#include "platform/MultimediaTimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

namespace pelmora {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Ticks per second over a stretch of about `span`; bounds stay wide so a busy machine passes.
double rateOver(std::atomic<int>& ticks, MultimediaTimer& timer, Clock::duration span) {
  const int before = ticks.load();
  const auto start = Clock::now();
  timer.setEnabled(true);
  std::this_thread::sleep_for(span);
  timer.setEnabled(false);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return (ticks.load() - before) / seconds;
}

// Waits up to two seconds for `condition`; not a measure of time, only a bound for a hang.
bool eventually(const std::function<bool()>& condition) {
  const auto deadline = Clock::now() + 2s;
  while (!condition()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// The threads this process has, where the system lists them; -1 where it does not (Windows,
// whose multimedia timer thread belongs to winmm and outlives every timer anyway).
int threadCount() {
#if defined(__linux__)
  std::error_code error;
  int count = 0;
  for (std::filesystem::directory_iterator it("/proc/self/task", error), end; !error && it != end;
       it.increment(error)) {
    ++count;
  }
  return error ? -1 : count;
#else
  return -1;
#endif
}

TEST(MultimediaTimer, TicksAHundredTimesASecondOnlyWhileEnabled) {
  MultimediaTimer timer;
  EXPECT_EQ(timer.interval(), 10u);
  EXPECT_EQ(timer.resolution(), 0u);
  EXPECT_EQ(timer.type(), MultimediaTimer::EventType::Periodic);
  EXPECT_FALSE(timer.enabled());
  EXPECT_FALSE(timer.isRunning());

  std::atomic<int> ticks{0};
  std::atomic<bool> foreignSender{false};
  std::atomic<bool> onCallerThread{false};
  const auto caller = std::this_thread::get_id();
  timer.setOnTimer([&](MultimediaTimer& sender) {
    if (&sender != &timer) foreignSender = true;
    if (std::this_thread::get_id() == caller) onCallerThread = true;
    ++ticks;
  });
  std::this_thread::sleep_for(150ms);
  EXPECT_EQ(ticks.load(), 0) << "ticks while disabled";

  const double rate = rateOver(ticks, timer, 1s);
  EXPECT_GE(rate, 50.0);
  EXPECT_LE(rate, 150.0);
  EXPECT_FALSE(foreignSender.load());
  EXPECT_FALSE(onCallerThread.load()) << "ticks belong to the timer's own thread";

  // Disabling from another thread waits for a tick under way: nothing lands afterwards.
  const int settled = ticks.load();
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(ticks.load(), settled);
}

TEST(MultimediaTimer, ANewIntervalRestartsAtThatPeriodAndZeroStopsIt) {
  MultimediaTimer timer;
  std::atomic<int> ticks{0};
  timer.setOnTimer([&](MultimediaTimer&) { ++ticks; });

  timer.setInterval(50);
  const double slow = rateOver(ticks, timer, 1s);
  EXPECT_GE(slow, 8.0);
  EXPECT_LE(slow, 30.0);

  // Changed while enabled: refused like the system refuses it, then running again at once.
  timer.setEnabled(true);
  EXPECT_TRUE(timer.isRunning());
  timer.setInterval(0);
  EXPECT_FALSE(timer.isRunning());
  EXPECT_TRUE(timer.enabled());
  timer.setEnabled(false);
  EXPECT_EQ(rateOver(ticks, timer, 100ms), 0.0);

  timer.setInterval(10);
  EXPECT_GT(rateOver(ticks, timer, 300ms), 0.0);
}

TEST(MultimediaTimer, OneShotTicksOnceAfterEachStart) {
  MultimediaTimer timer;
  std::atomic<int> ticks{0};
  timer.setOnTimer([&](MultimediaTimer&) { ++ticks; });
  timer.setEnabled(true);
  timer.setType(MultimediaTimer::EventType::OneShot);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(ticks.load(), 1);
  EXPECT_FALSE(timer.isRunning()) << "its one period has come";
  timer.setResolution(1);  // any change of settings starts it again
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(ticks.load(), 2);
  timer.setEnabled(false);
  timer.setEnabled(true);  // and so does enabling it again
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(ticks.load(), 3);
}

// An idle program with a disabled tester timer must not be woken by it: no thread, no system
// timer, whatever the settings, and a handler that disables its own timer ends the thread.
TEST(MultimediaTimer, HoldsNoThreadWhileDisabled) {
  const int idle = threadCount();
  MultimediaTimer timer;
  timer.setInterval(20);
  timer.setResolution(1);
  timer.setType(MultimediaTimer::EventType::Periodic);
  EXPECT_FALSE(timer.isRunning());
  EXPECT_EQ(threadCount(), idle);

  std::atomic<int> ticks{0};
  timer.setOnTimer([&](MultimediaTimer& sender) {
    if (++ticks == 3) sender.setEnabled(false);
  });
  timer.setEnabled(true);
  EXPECT_TRUE(timer.isRunning());
  if (idle > 0) {
    EXPECT_EQ(threadCount(), idle + 1);
  }
  ASSERT_TRUE(eventually([&] { return !timer.isRunning(); }));
  EXPECT_TRUE(eventually([&] { return threadCount() == idle; })) << "the thread outlived it";
  EXPECT_FALSE(timer.enabled());
  std::this_thread::sleep_for(60ms);
  EXPECT_EQ(ticks.load(), 3);

  // Enabled again by its owner; a handler that disables and enables again keeps its thread.
  timer.setOnTimer([&](MultimediaTimer& sender) {
    ++ticks;
    sender.setEnabled(false);
    sender.setEnabled(true);
  });
  timer.setEnabled(true);
  ASSERT_TRUE(eventually([&] { return ticks.load() >= 6; }));
  EXPECT_TRUE(timer.isRunning());
  if (idle > 0) {
    EXPECT_EQ(threadCount(), idle + 1);
  }
  timer.setEnabled(false);
  EXPECT_FALSE(timer.isRunning());
  EXPECT_TRUE(eventually([&] { return threadCount() == idle; }));
}

// The handler's state is shared with the test, so it outlives the timer: a tick after the end
// would be counted here instead of touching freed memory.
struct SlowHandlerState {
  std::atomic<int> ticks{0};
  std::atomic<bool> inside{false};
};

MultimediaTimer::Handler slowHandler(std::shared_ptr<SlowHandlerState> state) {
  return [state](MultimediaTimer&) {
    state->inside = true;
    std::this_thread::sleep_for(40ms);  // the end meets it under way
    ++state->ticks;
    state->inside = false;
  };
}

TEST(MultimediaTimer, DisablingOrDestroyingWaitsForTheTickUnderWayAndNoneFollows) {
  auto state = std::make_shared<SlowHandlerState>();
  auto timer = std::make_unique<MultimediaTimer>();
  timer->setOnTimer(slowHandler(state));

  timer->setEnabled(true);
  ASSERT_TRUE(eventually([&] { return state->inside.load(); }));
  timer->setEnabled(false);
  EXPECT_FALSE(state->inside.load()) << "disabling returned while a tick was under way";
  int last = state->ticks.load();
  std::this_thread::sleep_for(60ms);
  EXPECT_EQ(state->ticks.load(), last);

  timer->setEnabled(true);
  ASSERT_TRUE(eventually([&] { return state->inside.load(); }));
  timer.reset();
  EXPECT_FALSE(state->inside.load()) << "destruction returned while a tick was under way";
  EXPECT_EQ(state.use_count(), 1) << "something still holds the handler";
  last = state->ticks.load();
  std::this_thread::sleep_for(60ms);
  EXPECT_EQ(state->ticks.load(), last);
  EXPECT_GE(last, 2);
}

}  // namespace
}  // namespace pelmora
