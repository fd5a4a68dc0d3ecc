// The multimedia timer on Windows: timeSetEvent / timeKillEvent from winmm.
#include <windows.h>
#include <mmsystem.h>

#include <memory>
#include <utility>

#include "platform/MultimediaTimerSystem.h"

namespace pelmora {

struct MultimediaTimer::SystemTimer::State {
  std::function<void()> tick;
  MMRESULT id = 0;  // 0 when the system refused the timer
};

namespace {

void CALLBACK onPeriod(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  reinterpret_cast<const std::function<void()>*>(user)->operator()();
}

}  // namespace

MultimediaTimer::SystemTimer::SystemTimer(unsigned interval, unsigned resolution, EventType type,
                                          std::function<void()> tick)
    : m_state(std::make_unique<State>()) {
  m_state->tick = std::move(tick);
  // TIME_KILL_SYNCHRONOUS: once timeKillEvent returns, no callback runs or follows.
  const UINT kind = (type == EventType::OneShot ? TIME_ONESHOT : TIME_PERIODIC) |
                    TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS;
  m_state->id = timeSetEvent(interval, resolution, &onPeriod,
                             reinterpret_cast<DWORD_PTR>(&m_state->tick), kind);
}

MultimediaTimer::SystemTimer::~SystemTimer() {
  if (m_state->id != 0) timeKillEvent(m_state->id);
}

bool MultimediaTimer::SystemTimer::running() const {
  return m_state->id != 0;
}

}  // namespace pelmora
