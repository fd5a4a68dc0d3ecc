#include "platform/qt/QtAddressOpener.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace pelmora {

bool QtAddressOpener::open(const std::string& address) {
  const QUrl url(QString::fromStdString(address));
  if (!url.isValid()) return false;
  return QDesktopServices::openUrl(url);
}

}  // namespace pelmora
