#pragma once

#include <string>

namespace pelmora {

// Plays the connect and disconnect sounds.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Starts playing the file and returns at once; when the file cannot be played, the bell rings
  // instead. Never reports an error.
  virtual void play(const std::string& file) = 0;
};

}  // namespace pelmora
