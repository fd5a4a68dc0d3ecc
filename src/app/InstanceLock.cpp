#include "app/InstanceLock.h"

#include <thread>

namespace pelmora {

LockResult InstanceLock::acquireWhenFree(std::chrono::milliseconds timeout,
                                         std::chrono::milliseconds interval) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    LockResult result = acquire();
    if (result.outcome != LockOutcome::Taken || std::chrono::steady_clock::now() >= end) {
      return result;
    }
    // Our own reference would count as another instance at the next check.
    release();
    std::this_thread::sleep_for(interval);
  }
}

}  // namespace pelmora
