#pragma once

#include <chrono>
#include <system_error>

namespace pelmora {

enum class LockOutcome {
  First,     // nobody else held the lock
  Taken,     // another instance holds it
  Unusable,  // the lock cannot be made (the data folder cannot be written, ...)
};

struct LockResult {
  LockOutcome outcome = LockOutcome::Unusable;
  std::error_code error;  // the system's reason, for Unusable

  bool first() const { return outcome == LockOutcome::First; }
};

// How long a "/reboot" start waits for the instance that launched it to end.
inline constexpr std::chrono::milliseconds kRestartWait = std::chrono::seconds(30);

// The system-wide lock that keeps the program to one instance. Every instance holds a
// reference for its whole life, whether or not it was first; the lock exists as long as one
// instance holds it.
class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
  // Takes this process's reference and tells whether somebody else held the lock before.
  virtual LockResult acquire() = 0;
  // Gives this process's reference back.
  virtual void release() = 0;

  // The restarted instance: asks every `interval` until nobody else holds the lock (the old
  // instance has ended) and keeps its reference from then on. Taken when somebody still holds
  // it after `timeout`; Unusable at once when the lock cannot be made.
  LockResult acquireWhenFree(std::chrono::milliseconds timeout,
                             std::chrono::milliseconds interval = std::chrono::milliseconds(100));
};

}  // namespace pelmora
