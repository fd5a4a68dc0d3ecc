#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/SoundPlayer.h"

struct ca_context;

namespace pelmora {

// Plays a sound file through libcanberra, the desktop's event-sound library (PulseAudio,
// PipeWire or plain ALSA; .wav and .oga files). Every call into the library happens on the
// player's own thread, since opening the sound server and starting a stream wait for it; play()
// only hands the path over. A file that cannot be played rings the bell instead, on the
// user-interface thread (the thread of the application object).
class CanberraSoundPlayer final : public SoundPlayer {
 public:
  // bell rings the desktop's bell; the default is QApplication::beep.
  explicit CanberraSoundPlayer(std::function<void()> bell = {});
  ~CanberraSoundPlayer() override;
  CanberraSoundPlayer(const CanberraSoundPlayer&) = delete;
  CanberraSoundPlayer& operator=(const CanberraSoundPlayer&) = delete;

  void play(const std::string& file) override;

 private:
  void run();
  void playNow(const std::string& file);
  // Queues the bell for the user-interface thread; any thread may call it.
  void ringBell() const;
  static void finished(ca_context* context, std::uint32_t id, int error, void* player);

  std::function<void()> m_bell;
  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::deque<std::string> m_files;  // waiting to be played, under m_mutex
  bool m_stopping = false;          // under m_mutex
  ca_context* m_context = nullptr;  // the player's thread only
  std::uint32_t m_lastId = 0;       // the player's thread only
  std::thread m_thread;             // started by the first play
};

}  // namespace pelmora
