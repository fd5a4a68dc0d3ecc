#include "platform/MultimediaTimer.h"

#include <utility>

#include "platform/MultimediaTimerSystem.h"

namespace pelmora {

MultimediaTimer::MultimediaTimer() {
  restart();
}

MultimediaTimer::~MultimediaTimer() {
  m_system.reset();
}

void MultimediaTimer::setOnTimer(Handler handler) {
  std::lock_guard lock(m_handlerMutex);
  m_onTimer = std::move(handler);
}

void MultimediaTimer::setInterval(unsigned milliseconds) {
  m_interval = milliseconds;
  restart();
}

void MultimediaTimer::setResolution(unsigned milliseconds) {
  m_resolution = milliseconds;
  restart();
}

void MultimediaTimer::setType(EventType type) {
  m_type = type;
  restart();
}

bool MultimediaTimer::isRunning() const {
  return m_system && m_system->running();
}

void MultimediaTimer::restart() {
  m_system.reset();  // the old timer is gone before the new one starts
  m_system = std::make_unique<SystemTimer>(m_interval, m_resolution, m_type, [this] { tick(); });
}

void MultimediaTimer::tick() {
  if (!m_enabled.load()) return;
  std::lock_guard lock(m_handlerMutex);
  if (m_onTimer) m_onTimer(*this);
}

}  // namespace pelmora
