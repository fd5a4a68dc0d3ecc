#pragma once

#include <functional>
#include <memory>

#include "platform/MultimediaTimer.h"

namespace pelmora {

// One run of the platform's timer: starts on construction, and its destructor returns only when
// no tick is running and none will follow.
class MultimediaTimer::SystemTimer {
 public:
  SystemTimer(unsigned interval, unsigned resolution, EventType type, std::function<void()> tick);
  ~SystemTimer();
  SystemTimer(const SystemTimer&) = delete;
  SystemTimer& operator=(const SystemTimer&) = delete;

  bool running() const;

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

}  // namespace pelmora
