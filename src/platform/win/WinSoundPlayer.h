#pragma once

#include "platform/SoundPlayer.h"

namespace pelmora {

// Windows: sndPlaySound, asynchronous; the system plays its default sound when the file cannot
// be played.
class WinSoundPlayer final : public SoundPlayer {
 public:
  void play(const std::string& file) override;
};

}  // namespace pelmora
