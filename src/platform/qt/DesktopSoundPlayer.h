#pragma once

#include <functional>

#include <QObject>
#include <QString>

#include "platform/SoundPlayer.h"

namespace pelmora {

// Plays a sound file through the desktop's command-line player (PipeWire, PulseAudio or ALSA),
// detached from the user-interface thread; a file that cannot be played gives the desktop's
// default event sound, and where there is no player at all, the terminal bell.
class DesktopSoundPlayer final : public QObject, public SoundPlayer {
  Q_OBJECT

 public:
  explicit DesktopSoundPlayer(QObject* parent = nullptr);
  void play(const std::string& file) override;

 private:
  // Starts the player on the file; onFailure runs when it could not play it.
  void startPlayer(const QString& file, std::function<void()> onFailure);
  void playDefault();

  QString m_player;  // empty when the desktop has none
};

}  // namespace pelmora
