#include "platform/qt/QtFileOpener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

#include "platform/qt/QtPathText.h"

namespace pelmora {

bool QtFileOpener::open(const std::filesystem::path& file) {
  // A local-file URL, so blanks and other special characters in the path stay part of it.
  return QDesktopServices::openUrl(QUrl::fromLocalFile(pathText(file)));
}

}  // namespace pelmora
