#include "platform/MultimediaTimer.h"

#include <thread>
#include <utility>

#include "platform/MultimediaTimerSystem.h"

namespace pelmora {

struct MultimediaTimer::Run {
  Run(unsigned interval, unsigned resolution, EventType eventType)
      : system(interval, resolution), type(eventType) {}

  SystemTimer system;
  const EventType type;
  // Guarded by m_controlMutex. Once true, the thread calls the handler no more and only leaves:
  // set by the thread itself (disabled, or its one period given) or by whoever stops the run.
  bool stopping = false;
  std::thread thread;
};

namespace {

// The timer whose handler this thread is running, if any. A handler never waits for a run that
// may still tick: that run's thread could be waiting for the handler to return. (A run that has
// ended by itself calls no handler any more, so waiting for it is safe.)
thread_local const MultimediaTimer* t_inHandlerOf = nullptr;

}  // namespace

MultimediaTimer::MultimediaTimer() = default;

MultimediaTimer::~MultimediaTimer() {
  std::unique_ptr<Run> run;
  {
    std::lock_guard lock(m_controlMutex);
    m_closing = true;  // a handler under way cannot start a new run now
    m_enabled.store(false);
    run = takeRunToStopLocked();
  }
  finish(std::move(run));
}

void MultimediaTimer::setOnTimer(Handler handler) {
  std::lock_guard lock(m_handlerMutex);
  m_onTimer = std::move(handler);
}

void MultimediaTimer::setInterval(unsigned milliseconds) {
  {
    std::lock_guard lock(m_controlMutex);
    m_interval = milliseconds;
  }
  restart();
}

void MultimediaTimer::setResolution(unsigned milliseconds) {
  {
    std::lock_guard lock(m_controlMutex);
    m_resolution = milliseconds;
  }
  restart();
}

void MultimediaTimer::setType(EventType type) {
  {
    std::lock_guard lock(m_controlMutex);
    m_type = type;
  }
  restart();
}

void MultimediaTimer::setEnabled(bool enabled) {
  std::unique_ptr<Run> ended;
  {
    std::lock_guard lock(m_controlMutex);
    if (enabled) {
      if (m_enabled.exchange(true) || m_closing) return;
      // Disabled and enabled again from inside the handler: that run has not ended and goes on.
      if (m_run && !m_run->stopping) return;
      ended = std::move(m_run);  // a run that ended by itself: its thread is leaving or gone
      startRunLocked();
    } else {
      m_enabled.store(false);
      // From inside the handler the run cannot wait for itself: its thread sees the flag once
      // the handler returns and leaves, and the owner joins it later.
      if (!m_run || t_inHandlerOf == this) return;
      ended = takeRunToStopLocked();
    }
  }
  finish(std::move(ended));
}

void MultimediaTimer::finish(std::unique_ptr<Run> run) {
  if (run && run->thread.joinable()) run->thread.join();
}

bool MultimediaTimer::isRunning() const {
  std::lock_guard lock(m_controlMutex);
  return m_run && !m_run->stopping;
}

void MultimediaTimer::startRunLocked() {
  auto run = std::make_unique<Run>(m_interval, m_resolution, m_type);
  if (!run->system.isSet()) return;  // refused: enabling has no effect until the next change
  run->thread = std::thread([this, r = run.get()] { runLoop(*r); });
  m_run = std::move(run);
}

std::unique_ptr<MultimediaTimer::Run> MultimediaTimer::takeRunToStopLocked() {
  if (m_run) {
    m_run->stopping = true;
    m_run->system.interrupt();
  }
  return std::move(m_run);
}

void MultimediaTimer::restart() {
  std::unique_ptr<Run> old;
  {
    std::lock_guard lock(m_controlMutex);
    old = takeRunToStopLocked();
  }
  finish(std::move(old));  // the old timer is gone before the new one starts
  std::lock_guard lock(m_controlMutex);
  if (m_enabled.load() && !m_closing && !m_run) startRunLocked();
}

void MultimediaTimer::runLoop(Run& run) {
  while (run.system.waitForPeriod() && keepRunning(run)) {
    tick();
    if (run.type == EventType::OneShot) {
      std::lock_guard lock(m_controlMutex);
      run.stopping = true;
      break;
    }
    // Checked again at once, so a handler that disabled the timer ends the thread now rather
    // than one period later.
    if (!keepRunning(run)) break;
  }
  run.system.stop();
}

bool MultimediaTimer::keepRunning(Run& run) {
  std::lock_guard lock(m_controlMutex);
  if (!run.stopping && m_enabled.load()) return true;
  run.stopping = true;
  return false;
}

void MultimediaTimer::tick() {
  std::lock_guard lock(m_handlerMutex);
  if (!m_enabled.load() || !m_onTimer) return;
  struct InHandler {
    explicit InHandler(const MultimediaTimer* timer) { t_inHandlerOf = timer; }
    ~InHandler() { t_inHandlerOf = nullptr; }
  } inHandler(this);
  m_onTimer(*this);
}

}  // namespace pelmora
