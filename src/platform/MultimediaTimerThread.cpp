// The multimedia timer where the system has none: a thread that ticks against the steady clock.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/MultimediaTimerSystem.h"

namespace pelmora {

struct MultimediaTimer::SystemTimer::State {
  std::mutex mutex;
  std::condition_variable wake;
  bool stop = false;
  std::thread thread;
};

MultimediaTimer::SystemTimer::SystemTimer(unsigned interval, unsigned /*resolution*/,
                                          EventType type, std::function<void()> tick)
    : m_state(std::make_unique<State>()) {
  if (interval == 0) return;  // like the system timer, which refuses a zero delay
  m_state->thread = std::thread([state = m_state.get(), interval, type, tick = std::move(tick)] {
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::milliseconds(interval);
    auto next = Clock::now() + period;
    std::unique_lock lock(state->mutex);
    while (!state->wake.wait_until(lock, next, [state] { return state->stop; })) {
      lock.unlock();
      tick();
      lock.lock();
      if (type == EventType::OneShot) break;
      // Periods keep their place on the clock; after a stall the missed ones are dropped
      // rather than delivered in a burst.
      next += period;
      const auto now = Clock::now();
      if (next + period < now) next = now + period;
    }
  });
}

MultimediaTimer::SystemTimer::~SystemTimer() {
  {
    std::lock_guard lock(m_state->mutex);
    m_state->stop = true;
  }
  m_state->wake.notify_all();
  if (m_state->thread.joinable()) m_state->thread.join();
}

bool MultimediaTimer::SystemTimer::running() const {
  return m_state->thread.joinable();
}

}  // namespace pelmora
