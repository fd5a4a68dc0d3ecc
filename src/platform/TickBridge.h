#pragma once

#include <functional>

namespace pelmora {

// Hands the tester timer's ticks, which come on the timer's own thread, to the user-interface
// thread, where the window may use them.
class TickBridge {
 public:
  virtual ~TickBridge() = default;
  // What runs on the user-interface thread for each tick handed over.
  virtual void setOnTick(std::function<void()> onTick) = 0;
};

}  // namespace pelmora
