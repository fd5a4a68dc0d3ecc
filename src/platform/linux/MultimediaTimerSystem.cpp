// The multimedia timer where the system has none: the timer's thread sleeps against the steady
// clock until each period.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/MultimediaTimerSystem.h"

namespace pelmora {

struct MultimediaTimer::SystemTimer::State {
  using Clock = std::chrono::steady_clock;

  Clock::duration period;
  Clock::time_point next;
  bool waited = false;
  std::mutex mutex;
  std::condition_variable wake;
  bool interrupted = false;
};

MultimediaTimer::SystemTimer::SystemTimer(unsigned interval, unsigned /*resolution*/)
    : m_state(std::make_unique<State>()) {
  m_state->period = std::chrono::milliseconds(interval);
  m_state->next = State::Clock::now() + m_state->period;
}

MultimediaTimer::SystemTimer::~SystemTimer() = default;

bool MultimediaTimer::SystemTimer::isSet() const {
  return m_state->period.count() > 0;  // like the system timer, which refuses a zero delay
}

bool MultimediaTimer::SystemTimer::waitForPeriod() {
  State& s = *m_state;
  if (s.waited) {
    // Periods keep their place on the clock; after a stall the missed ones are dropped rather
    // than delivered in a burst.
    s.next += s.period;
    const auto now = State::Clock::now();
    if (s.next + s.period < now) s.next = now + s.period;
  }
  s.waited = true;
  std::unique_lock lock(s.mutex);
  return !s.wake.wait_until(lock, s.next, [&s] { return s.interrupted; });
}

void MultimediaTimer::SystemTimer::interrupt() {
  {
    std::lock_guard lock(m_state->mutex);
    m_state->interrupted = true;
  }
  m_state->wake.notify_all();
}

void MultimediaTimer::SystemTimer::stop() {}  // nothing outside this thread wakes it

}  // namespace pelmora
