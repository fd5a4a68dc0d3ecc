#include "platform/ManualTickBridge.h"

#include <utility>

#include "platform/MultimediaTimer.h"

namespace pelmora {

void ManualTickBridge::setOnTick(std::function<void()> onTick) {
  m_onTick = std::move(onTick);
}

bool ManualTickBridge::tick() {
  if (!m_timer.enabled()) return false;
  // A copy: the tick may replace its own handler.
  if (const auto onTick = m_onTick) onTick();
  return true;
}

}  // namespace pelmora
