#include "platform/qt/QtFileOpener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace pelmora {

bool QtFileOpener::open(const std::filesystem::path& file) {
  // A local-file URL, so blanks and other special characters in the path stay part of it.
  const std::u8string path = file.u8string();
  const QString local = QString::fromUtf8(reinterpret_cast<const char*>(path.data()),
                                          static_cast<qsizetype>(path.size()));
  return QDesktopServices::openUrl(QUrl::fromLocalFile(local));
}

}  // namespace pelmora
