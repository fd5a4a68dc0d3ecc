#include "ui/status/DisplayFont.h"

#include <QString>
#include <QStringList>

namespace pelmora {

QFont displayFont(int pixels, bool bold) {
  QFont font;
  font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans Condensed"),
                    QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

}  // namespace pelmora
