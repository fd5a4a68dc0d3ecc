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

}  // namespace pelmora
