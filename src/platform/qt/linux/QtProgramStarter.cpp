#include "platform/qt/linux/QtProgramStarter.h"

#include <QFileInfo>
#include <QProcess>
#include <QStringList>

namespace pelmora {

bool QtProgramStarter::start(const std::string& program,
                             const std::vector<std::string>& arguments) {
  QStringList args;
  for (const auto& a : arguments) args << QString::fromStdString(a);
  return QProcess::startDetached(QString::fromStdString(program), args);
}

bool QtProgramStarter::startCommandLine(const std::string& commandLine) {
  const QString line = QString::fromStdString(commandLine).trimmed();
  if (line.isEmpty()) return false;
  // An unquoted path with blanks that names an existing file is one program, not several words.
  if (QFileInfo(line).isFile()) return QProcess::startDetached(line, {});
  QStringList words = QProcess::splitCommand(line);
  if (words.isEmpty()) return false;
  const QString program = words.takeFirst();
  return QProcess::startDetached(program, words);
}

}  // namespace pelmora
