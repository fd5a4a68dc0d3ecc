// The multimedia timer on Windows: timeSetEvent / timeKillEvent from winmm. The system timer
// sets an event at every period and the timer's own thread waits on it, so the run can end from
// its own thread, even from inside the handler, without a kill that waits for itself.
#include <windows.h>
#include <mmsystem.h>

#include <memory>

#include "platform/MultimediaTimerSystem.h"

namespace pelmora {

struct MultimediaTimer::SystemTimer::State {
  HANDLE period = nullptr;     // auto-reset: periods missed while a tick runs fold into one
  HANDLE interrupt = nullptr;  // manual reset: once set, every wait ends at once
  MMRESULT id = 0;             // 0 when the system refused the timer or once it is stopped
};

MultimediaTimer::SystemTimer::SystemTimer(unsigned interval, unsigned resolution)
    : m_state(std::make_unique<State>()) {
  m_state->period = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  m_state->interrupt = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (m_state->period == nullptr || m_state->interrupt == nullptr) return;
  // Always periodic: a one-shot event frees its id by itself, and a later timer could be given
  // the same id before this run kills it. The run ends after its first period instead.
  m_state->id =
      timeSetEvent(interval, resolution,
                   reinterpret_cast<LPTIMECALLBACK>(reinterpret_cast<DWORD_PTR>(m_state->period)),
                   0, TIME_PERIODIC | TIME_CALLBACK_EVENT_SET);
}

MultimediaTimer::SystemTimer::~SystemTimer() {
  stop();
  if (m_state->period != nullptr) CloseHandle(m_state->period);
  if (m_state->interrupt != nullptr) CloseHandle(m_state->interrupt);
}

bool MultimediaTimer::SystemTimer::isSet() const {
  return m_state->id != 0;
}

bool MultimediaTimer::SystemTimer::waitForPeriod() {
  const HANDLE handles[] = {m_state->interrupt, m_state->period};
  // The interrupt comes first: when both are set, the run ends rather than ticks.
  return WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
}

void MultimediaTimer::SystemTimer::interrupt() {
  if (m_state->interrupt != nullptr) SetEvent(m_state->interrupt);
}

void MultimediaTimer::SystemTimer::stop() {
  if (m_state->id == 0) return;
  timeKillEvent(m_state->id);
  m_state->id = 0;
}

}  // namespace pelmora
