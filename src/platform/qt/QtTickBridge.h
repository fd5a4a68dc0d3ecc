#pragma once

#include <functional>
#include <memory>

#include "platform/TickBridge.h"

class QObject;

namespace pelmora {

class MultimediaTimer;

// Carries the multimedia timer's ticks to the user-interface thread as queued calls; it becomes
// the timer's handler. At most one tick waits in the queue: ticks that come while one is waiting
// fold into it, so a busy window catches up with one call, not a burst. A tick is delivered only
// if, when its turn comes, the timer is still enabled and still has this bridge as its handler,
// and never once the bridge, the timer or the receiver the bridge was given is destroyed.
// Create it on the user-interface thread, whose event loop delivers the ticks; the timer must
// belong to that thread too. Either may be destroyed first.
class QtTickBridge final : public TickBridge {
 public:
  // `receiver`, when given, is the object the ticks are for: none is delivered once it is gone.
  explicit QtTickBridge(MultimediaTimer& timer, QObject* receiver = nullptr);
  // Returns once no tick is being queued; the timer keeps the bridge's handler, which then does
  // nothing, until it is given another one.
  ~QtTickBridge() override;
  QtTickBridge(const QtTickBridge&) = delete;
  QtTickBridge& operator=(const QtTickBridge&) = delete;

  void setOnTick(std::function<void()> onTick) override;

 private:
  struct Shared;
  struct Link;
  static void deliver(const std::weak_ptr<Shared>& token);

  std::shared_ptr<Shared> m_shared;
};

}  // namespace pelmora
