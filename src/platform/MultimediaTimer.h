#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace pelmora {

// The tariff tester's 10 ms timer. The system timer runs only while the timer is enabled (and its
// Interval is one the system accepts): a disabled timer holds no thread and no system timer, so an
// idle program is never woken by it. Enabling starts it, the first period ends one Interval later
// and the periods keep their place on the clock from then on; disabling stops it. Changing
// Interval, Resolution or Type while enabled restarts it. Ticks arrive on the timer's own thread,
// never on the user-interface thread: the handler must hand its work over (a queued call) and
// return quickly, and it must never wait for the thread that owns the timer.
//
// Windows: the multimedia timer (timeSetEvent / timeKillEvent) wakes the timer's own thread at
// each period. Elsewhere: that thread sleeps against the steady clock until each period. Configure
// it from the thread that owns it, never from inside the handler; only setEnabled may be called
// from anywhere.
class MultimediaTimer {
 public:
  enum class EventType { OneShot = 0, Periodic = 1 };
  using Handler = std::function<void(MultimediaTimer& sender)>;

  // Interval 10 ms, Resolution 0 (the best the system gives), disabled, periodic: nothing runs
  // until it is enabled.
  MultimediaTimer();
  // Stops the system timer; no handler call is running or follows once it returns.
  ~MultimediaTimer();
  MultimediaTimer(const MultimediaTimer&) = delete;
  MultimediaTimer& operator=(const MultimediaTimer&) = delete;

  // The handler called at every period while enabled (OnMMTimer).
  void setOnTimer(Handler handler);

  unsigned interval() const { return m_interval; }
  void setInterval(unsigned milliseconds);
  unsigned resolution() const { return m_resolution; }
  void setResolution(unsigned milliseconds);
  EventType type() const { return m_type; }
  // OneShot gives one period after each start (enabling, or a change of settings while enabled),
  // Periodic one at every period.
  void setType(EventType type);

  bool enabled() const { return m_enabled.load(); }
  // Starts or stops the system timer. Safe from any thread. Disabling from another thread returns
  // once a handler call under way has finished, and none follows; disabling from inside the
  // handler lets that call finish, after which the timer's thread ends by itself.
  void setEnabled(bool enabled);

  // True while a system timer is set and will tick: enabled, with an Interval the system accepts
  // (not 0), and for OneShot until its one period has come.
  bool isRunning() const;

 private:
  class SystemTimer;  // the platform's timer: win/ or linux/MultimediaTimerSystem.cpp
  struct Run;         // one run of the system timer and the thread that waits on it

  // Each of these is called with m_controlMutex held.
  void startRunLocked();
  std::unique_ptr<Run> takeRunToStopLocked();
  // Waits, without the lock, for a stopped run's thread to leave; its system timer goes with it.
  static void finish(std::unique_ptr<Run> run);

  void restart();
  void runLoop(Run& run);
  bool keepRunning(Run& run);
  void tick();

  unsigned m_interval = 10;
  unsigned m_resolution = 0;
  EventType m_type = EventType::Periodic;
  std::atomic<bool> m_enabled{false};

  mutable std::mutex m_controlMutex;  // guards m_run, m_closing and each run's `stopping`
  std::unique_ptr<Run> m_run;
  bool m_closing = false;

  std::mutex m_handlerMutex;  // held while the handler runs
  Handler m_onTimer;
};

}  // namespace pelmora
