#include "ui/status/StateArt.h"

// The resources live in a static library: register them before the first picture is loaded.
static void initStatusResources() {
  Q_INIT_RESOURCE(status);
}

namespace pelmora::StateArt {

QPixmap picture(const QString& name) {
  static const bool registered = (initStatusResources(), true);
  (void)registered;
  return QPixmap(QStringLiteral(":/status/") + name + QStringLiteral(".png"));
}

QIcon trayIcon(int state) {
  const int shown = (state == 1 || state == 2) ? state : 0;
  return QIcon(picture(QStringLiteral("Tray") + QString::number(shown)));
}

QPixmap stateGlyph(int glyph) {
  return picture(QStringLiteral("State") + QString::number(glyph));
}

QPixmap downGlyph(bool lit) {
  return picture(lit ? QStringLiteral("Down1") : QStringLiteral("Down0"));
}

QPixmap financesPicture() {
  return picture(QStringLiteral("Finances"));
}

QPixmap timePicture() {
  return picture(QStringLiteral("Time"));
}

}  // namespace pelmora::StateArt
