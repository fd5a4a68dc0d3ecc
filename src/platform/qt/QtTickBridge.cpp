#include "platform/qt/QtTickBridge.h"

#include <atomic>
#include <mutex>
#include <utility>

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include "platform/MultimediaTimer.h"

namespace pelmora {

// What the bridge, the timer's handler and the queued calls share. The bridge and the handler
// hold it; a queued call holds only a weak pointer, its liveness token, and finds it gone once
// both have let go.
struct QtTickBridge::Shared {
  Shared(MultimediaTimer& owner, QObject* target)
      : timer(owner), receiver(target), hasReceiver(target != nullptr) {}

  MultimediaTimer& timer;
  QObject context;  // lives on the user-interface thread; the queued calls are posted to it
  QPointer<QObject> receiver;
  const bool hasReceiver;
  std::function<void()> onTick;  // user-interface thread only

  std::mutex mutex;      // held while a tick is queued and while the bridge or the timer lets go
  bool pending = false;  // a tick is waiting in the queue
  bool bridgeAlive = true;
  bool timerAttached = true;  // the timer still has this bridge's handler
};

// Rides in the timer's handler: when the timer lets the handler go (destroyed, or given another
// handler), the bridge hears of it.
struct QtTickBridge::Link {
  explicit Link(std::shared_ptr<Shared> s) : shared(std::move(s)) {}
  ~Link() {
    std::lock_guard lock(shared->mutex);
    shared->timerAttached = false;
  }
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  std::shared_ptr<Shared> shared;
};

QtTickBridge::QtTickBridge(MultimediaTimer& timer, QObject* receiver)
    : m_shared(std::make_shared<Shared>(timer, receiver)) {
  // On the timer's thread: queue a tick unless one is already waiting.
  timer.setOnTimer([link = std::make_shared<Link>(m_shared)](MultimediaTimer&) {
    Shared& shared = *link->shared;
    std::lock_guard lock(shared.mutex);
    if (!shared.bridgeAlive || shared.pending) return;  // a waiting tick takes this one in
    shared.pending = QMetaObject::invokeMethod(
        &shared.context, [token = std::weak_ptr<Shared>(link->shared)] { deliver(token); },
        Qt::QueuedConnection);
  });
}

QtTickBridge::~QtTickBridge() {
  std::lock_guard lock(m_shared->mutex);
  m_shared->bridgeAlive = false;
}

void QtTickBridge::setOnTick(std::function<void()> onTick) {
  m_shared->onTick = std::move(onTick);
}

// On the user-interface thread: the waiting tick's turn has come.
void QtTickBridge::deliver(const std::weak_ptr<Shared>& token) {
  const auto shared = token.lock();
  if (!shared) return;
  {
    std::lock_guard lock(shared->mutex);
    shared->pending = false;
    if (!shared->bridgeAlive || !shared->timerAttached) return;
    if (!shared->timer.enabled()) return;  // disabled since it was queued
  }
  if (shared->hasReceiver && shared->receiver.isNull()) return;
  // A copy: the window may replace the handler, or destroy the bridge, from inside it.
  if (const auto onTick = shared->onTick) onTick();
}

}  // namespace pelmora
