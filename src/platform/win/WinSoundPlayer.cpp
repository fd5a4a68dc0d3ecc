#include "platform/win/WinSoundPlayer.h"

#include <windows.h>
#include <mmsystem.h>

#include "platform/win/WideText.h"

namespace pelmora {

void WinSoundPlayer::play(const std::string& file) {
  // SND_ASYNC alone: no SND_NODEFAULT, so a file that cannot be played gives the default sound.
  sndPlaySoundW(widen(file).c_str(), SND_ASYNC);
}

}  // namespace pelmora
