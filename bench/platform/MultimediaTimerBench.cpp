// The tariff tester's day: 1440 ticks of the 10 ms timer, one per simulated minute. The day
// should last 14.40 s on the clock, within 0.1 %, with no tick lost to a stall.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/MultimediaTimer.h"

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

constexpr int kTicks = 1440;
constexpr auto kPeriod = std::chrono::milliseconds(10);

void BM_TesterDay(benchmark::State& state) {
  for (auto _ : state) {
    pelmora::MultimediaTimer timer;
    std::mutex mutex;
    std::condition_variable dayOver;
    std::vector<Clock::time_point> ticks;
    ticks.reserve(kTicks);
    timer.setOnTimer([&](pelmora::MultimediaTimer& sender) {
      std::lock_guard lock(mutex);
      ticks.push_back(Clock::now());
      if (static_cast<int>(ticks.size()) == kTicks) {
        sender.setEnabled(false);  // as the tester does at the end of its day
        dayOver.notify_one();
      }
    });

    const auto start = Clock::now();
    timer.setEnabled(true);
    std::unique_lock lock(mutex);
    dayOver.wait(lock, [&] { return static_cast<int>(ticks.size()) == kTicks; });

    const double elapsed = Seconds(ticks.back() - start).count();
    const double periods = elapsed / Seconds(kPeriod).count();
    // A stall drops the periods it swallowed: the day ends that many periods late.
    const long lost = std::lround(periods) - kTicks;
    double lateMax = 0;
    for (int i = 0; i < kTicks; ++i) {
      const double late =
          Seconds(ticks[static_cast<std::size_t>(i)] - (start + (i + 1) * kPeriod)).count();
      lateMax = std::max(lateMax, late);
    }
    state.SetIterationTime(elapsed);
    state.counters["elapsed_s"] = elapsed;
    state.counters["error_pct"] = (elapsed / (kTicks * Seconds(kPeriod).count()) - 1) * 100;
    state.counters["lost_ticks"] = static_cast<double>(lost);
    state.counters["late_max_ms"] = lateMax * 1000;
  }
}
BENCHMARK(BM_TesterDay)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
