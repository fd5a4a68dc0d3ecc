#pragma once

#include <memory>

#include "platform/MultimediaTimer.h"

namespace pelmora {

// The platform's periodic wake-up for one run of the timer. It is set on construction, on the
// thread that enables the timer; the timer's own thread then waits on it period after period.
// Periodic only: the one period of a OneShot timer is the first, after which the run ends.
class MultimediaTimer::SystemTimer {
 public:
  SystemTimer(unsigned interval, unsigned resolution);
  // Stops the system timer if the run has not stopped it yet.
  ~SystemTimer();
  SystemTimer(const SystemTimer&) = delete;
  SystemTimer& operator=(const SystemTimer&) = delete;

  // False when the system refused the timer (an Interval of 0, for one): nothing to wait on.
  bool isSet() const;
  // On the timer's thread: waits until the next period has come. False once interrupt() was
  // called, then at once and for good.
  bool waitForPeriod();
  // From any thread: ends the wait under way and every later one.
  void interrupt();
  // On the timer's thread, when the run ends: the system stops waking anybody for it.
  void stop();

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

}  // namespace pelmora
