#include "platform/qt/linux/CanberraSoundPlayer.h"

#include <cstdint>
#include <utility>

#include <QApplication>
#include <QMetaObject>

#include <canberra.h>

namespace pelmora {

namespace {

// The library's outcomes that are not a failure to play: the sound was stopped, the player
// is going away, or the desktop has event sounds switched off.
bool silentOutcome(int error) {
  return error == CA_SUCCESS || error == CA_ERROR_CANCELED || error == CA_ERROR_DESTROYED ||
         error == CA_ERROR_DISABLED || error == CA_ERROR_FORKED;
}

}  // namespace

CanberraSoundPlayer::CanberraSoundPlayer(std::function<void()> bell)
    : m_bell(bell ? std::move(bell) : std::function<void()>([] { QApplication::beep(); })) {}

CanberraSoundPlayer::~CanberraSoundPlayer() {
  {
    const std::lock_guard lock(m_mutex);
    m_stopping = true;
    m_files.clear();
  }
  m_wake.notify_one();
  if (m_thread.joinable()) m_thread.join();
}

void CanberraSoundPlayer::play(const std::string& file) {
  // The player's thread comes with the first sound: a program that plays none keeps none.
  if (!m_thread.joinable()) m_thread = std::thread([this] { run(); });
  {
    const std::lock_guard lock(m_mutex);
    m_files.push_back(file);
  }
  m_wake.notify_one();
}

void CanberraSoundPlayer::run() {
  for (;;) {
    std::string file;
    {
      std::unique_lock lock(m_mutex);
      m_wake.wait(lock, [this] { return m_stopping || !m_files.empty(); });
      if (m_stopping) break;
      file = std::move(m_files.front());
      m_files.pop_front();
    }
    playNow(file);
  }
  // Stops what still plays; the library reports it as destroyed, which rings nothing, and calls
  // back no more once this returns.
  if (m_context) ca_context_destroy(m_context);
}

void CanberraSoundPlayer::playNow(const std::string& file) {
  if (!m_context) {
    if (ca_context_create(&m_context) != CA_SUCCESS) {
      m_context = nullptr;
      ringBell();
      return;
    }
    ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "Pelmora", CA_PROP_APPLICATION_ID,
                            "org.example.Pelmora", CA_PROP_APPLICATION_ICON_NAME,
                            "org.example.Pelmora", nullptr);
  }
  ca_proplist* properties = nullptr;
  if (file.empty() || ca_proplist_create(&properties) != CA_SUCCESS) {
    ringBell();
    return;
  }
  // A file of the user's own: played from the file each time, never kept in the server's cache.
  ca_proplist_sets(properties, CA_PROP_MEDIA_FILENAME, file.c_str());
  ca_proplist_sets(properties, CA_PROP_MEDIA_ROLE, "event");
  ca_proplist_sets(properties, CA_PROP_CANBERRA_CACHE_CONTROL, "never");
  // When the call fails it has not kept the callback: the failure is rung here, once.
  const int started =
      ca_context_play_full(m_context, ++m_lastId, properties, &CanberraSoundPlayer::finished, this);
  ca_proplist_destroy(properties);
  if (!silentOutcome(started)) ringBell();
}

void CanberraSoundPlayer::finished(ca_context*, std::uint32_t, int error, void* player) {
  if (!silentOutcome(error)) static_cast<const CanberraSoundPlayer*>(player)->ringBell();
}

void CanberraSoundPlayer::ringBell() const {
  if (QCoreApplication* application = QCoreApplication::instance()) {
    QMetaObject::invokeMethod(application, m_bell, Qt::QueuedConnection);
  }
}

}  // namespace pelmora
