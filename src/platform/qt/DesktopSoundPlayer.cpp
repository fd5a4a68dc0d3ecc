#include "platform/qt/DesktopSoundPlayer.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace pelmora {

namespace {

const char* const kDefaultSounds[] = {
    "/usr/share/sounds/freedesktop/stereo/bell.oga",
    "/usr/share/sounds/freedesktop/stereo/message.oga",
};

QString findPlayer() {
  for (const char* name : {"pw-play", "paplay", "aplay"}) {
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (!path.isEmpty()) return path;
  }
  return {};
}

}  // namespace

DesktopSoundPlayer::DesktopSoundPlayer(QObject* parent) : QObject(parent), m_player(findPlayer()) {}

void DesktopSoundPlayer::play(const std::string& file) {
  const QString path = QString::fromStdString(file);
  if (m_player.isEmpty() || !QFileInfo(path).isReadable() || !QFileInfo(path).isFile()) {
    playDefault();
    return;
  }
  startPlayer(path, [this] { playDefault(); });
}

void DesktopSoundPlayer::startPlayer(const QString& file, std::function<void()> onFailure) {
  auto* process = new QProcess(this);
  process->setProgram(m_player);
  process->setArguments({file});
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  connect(process, &QProcess::finished, this,
          [process, onFailure](int exitCode, QProcess::ExitStatus status) {
            process->deleteLater();
            if (status != QProcess::NormalExit || exitCode != 0) onFailure();
          });
  connect(process, &QProcess::errorOccurred, this,
          [process, onFailure](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart) return;
            process->deleteLater();
            onFailure();
          });
  process->start();
}

void DesktopSoundPlayer::playDefault() {
  if (!m_player.isEmpty()) {
    for (const char* sound : kDefaultSounds) {
      const QString path = QString::fromLatin1(sound);
      if (QFileInfo(path).isReadable()) {
        startPlayer(path, [] { QApplication::beep(); });
        return;
      }
    }
  }
  QApplication::beep();
}

}  // namespace pelmora
