#include "platform/qt/QtFileOpener.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QUrl>

#include "platform/qt/QtPathText.h"

namespace pelmora {

bool QtFileOpener::open(const std::filesystem::path& file) {
  // A local-file URL, so blanks and other special characters in the path stay part of it.
  if (QDesktopServices::openUrl(QUrl::fromLocalFile(pathText(file)))) return true;
  return !m_fallback.isEmpty() &&
         QProcess::startDetached(m_fallback, {QDir::toNativeSeparators(pathText(file))});
}

}  // namespace pelmora
