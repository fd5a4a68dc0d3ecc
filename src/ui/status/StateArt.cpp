#include "ui/status/StateArt.h"

#include <QPainter>
#include <QRadialGradient>

namespace pelmora::StateArt {

namespace {

QColor stateColour(int state) {
  switch (state) {
    case 1:
      return QColor(210, 30, 30);
    case 2:
      return QColor(40, 200, 40);
    case 3:
      return QColor(20, 110, 20);
    default:
      return QColor(150, 150, 150);
  }
}

QPixmap ball(int size, int state) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor colour = stateColour(state);
  QRadialGradient shade(size * 0.35, size * 0.35, size * 0.7);
  shade.setColorAt(0, colour.lighter(160));
  shade.setColorAt(1, colour.darker(130));
  painter.setBrush(shade);
  painter.setPen(QPen(colour.darker(200), size >= 24 ? 2 : 1));
  const qreal margin = size >= 24 ? 2 : 1;
  painter.drawEllipse(QRectF(margin, margin, size - 2 * margin, size - 2 * margin));
  return pixmap;
}

}  // namespace

QIcon trayIcon(int state) {
  // Only states 1 and 2 have their own icon; anything else is "switched off".
  return QIcon(ball(32, state == 1 || state == 2 ? state : 0));
}

QPixmap stateGlyph(int state) {
  return ball(14, state);
}

}  // namespace pelmora::StateArt
