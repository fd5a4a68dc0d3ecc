#pragma once

#include <functional>

#include "platform/TickBridge.h"

namespace pelmora {

class MultimediaTimer;

// Ticks on demand instead of the timer's own, for tests of the windows that use the tester
// timer: tick() delivers one at once on the calling thread, but only while the timer is enabled,
// as the real bridge would. The timer's own ticks are left alone.
class ManualTickBridge final : public TickBridge {
 public:
  explicit ManualTickBridge(const MultimediaTimer& timer) : m_timer(timer) {}
  void setOnTick(std::function<void()> onTick) override;
  // Delivers one tick; false when the timer is disabled and the tick was dropped.
  bool tick();

 private:
  const MultimediaTimer& m_timer;
  std::function<void()> m_onTick;
};

}  // namespace pelmora
