#include "platform/qt/QtScreen.h"

#include <QGuiApplication>
#include <QScreen>

namespace pelmora {

ScreenSize QtScreen::size() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  const QSize pixels = screen->size();
  return {pixels.width(), pixels.height()};
}

ScreenArea QtScreen::availableArea() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  const QRect area = screen->availableGeometry();
  return {area.x(), area.y(), area.width(), area.height()};
}

}  // namespace pelmora
