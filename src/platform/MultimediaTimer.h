#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace pelmora {

// The tariff tester's 10 ms timer. The system timer runs from construction to destruction;
// Enabled only decides whether a period calls the handler. Changing Interval, Resolution or Type
// restarts the system timer. Ticks arrive on the timer's own thread, never on the user-interface
// thread: the handler must hand its work over (a queued call) and return quickly.
//
// Windows: the multimedia timer (timeSetEvent / timeKillEvent). Elsewhere: a thread that ticks
// every Interval ms against the steady clock. Configure it from the thread that owns it, never
// from inside the handler.
class MultimediaTimer {
 public:
  enum class EventType { OneShot = 0, Periodic = 1 };
  using Handler = std::function<void(MultimediaTimer& sender)>;

  // Interval 10 ms, Resolution 0 (the best the system gives), disabled, periodic; the system
  // timer starts at once.
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
  // OneShot gives one period after each restart, Periodic one at every period.
  void setType(EventType type);

  bool enabled() const { return m_enabled.load(); }
  // Only the flag: the system timer keeps running. Safe from any thread, the handler included.
  void setEnabled(bool enabled) { m_enabled.store(enabled); }

  // True while a system timer exists; false when the system refused one (an Interval of 0, for
  // one), and then enabling it has no effect.
  bool isRunning() const;

 private:
  class SystemTimer;  // the platform's timer: MultimediaTimerWin.cpp or MultimediaTimerThread.cpp

  void restart();
  void tick();

  unsigned m_interval = 10;
  unsigned m_resolution = 0;
  EventType m_type = EventType::Periodic;
  std::atomic<bool> m_enabled{false};
  std::mutex m_handlerMutex;
  Handler m_onTimer;
  std::unique_ptr<SystemTimer> m_system;
};

}  // namespace pelmora
