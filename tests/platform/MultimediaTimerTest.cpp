#include "platform/MultimediaTimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
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

TEST(MultimediaTimer, RunsFromCreationAndTicksAHundredTimesASecondOnlyWhileEnabled) {
  MultimediaTimer timer;
  EXPECT_EQ(timer.interval(), 10u);
  EXPECT_EQ(timer.resolution(), 0u);
  EXPECT_EQ(timer.type(), MultimediaTimer::EventType::Periodic);
  EXPECT_FALSE(timer.enabled());
  EXPECT_TRUE(timer.isRunning());

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

  // Disabled again: a tick already under way may still land, then nothing.
  std::this_thread::sleep_for(30ms);
  const int settled = ticks.load();
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(ticks.load(), settled);
}

TEST(MultimediaTimer, ANewIntervalRestartsAtThatPeriodAndZeroStopsIt) {
  MultimediaTimer timer;
  std::atomic<int> ticks{0};
  timer.setOnTimer([&](MultimediaTimer&) { ++ticks; });

  timer.setInterval(50);
  EXPECT_TRUE(timer.isRunning());
  const double slow = rateOver(ticks, timer, 1s);
  EXPECT_GE(slow, 8.0);
  EXPECT_LE(slow, 30.0);

  timer.setInterval(0);  // refused like the system refuses it: enabling does nothing
  EXPECT_FALSE(timer.isRunning());
  EXPECT_EQ(rateOver(ticks, timer, 100ms), 0.0);

  timer.setInterval(10);
  EXPECT_TRUE(timer.isRunning());
  EXPECT_GT(rateOver(ticks, timer, 300ms), 0.0);
}

TEST(MultimediaTimer, OneShotTicksOnceAfterEachRestart) {
  MultimediaTimer timer;
  std::atomic<int> ticks{0};
  timer.setOnTimer([&](MultimediaTimer&) { ++ticks; });
  timer.setEnabled(true);
  timer.setType(MultimediaTimer::EventType::OneShot);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(ticks.load(), 1);
  timer.setResolution(1);  // any change of settings starts it again
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(ticks.load(), 2);
}

TEST(MultimediaTimer, NoTickRunsOrFollowsOnceItIsDestroyed) {
  std::atomic<int> ticks{0};
  std::atomic<bool> inside{false};
  std::atomic<bool> afterDestruction{false};
  auto timer = std::make_unique<MultimediaTimer>();
  std::atomic<bool> destroyed{false};
  timer->setOnTimer([&](MultimediaTimer&) {
    inside = true;
    if (destroyed) afterDestruction = true;
    std::this_thread::sleep_for(3ms);  // slow handler: destruction meets it under way
    ++ticks;
    inside = false;
  });
  timer->setEnabled(true);
  std::this_thread::sleep_for(100ms);
  timer.reset();
  destroyed = true;
  EXPECT_FALSE(inside.load());
  const int last = ticks.load();
  std::this_thread::sleep_for(60ms);
  EXPECT_EQ(ticks.load(), last);
  EXPECT_FALSE(afterDestruction.load());
  EXPECT_GT(last, 0);
}

}  // namespace
}  // namespace pelmora
