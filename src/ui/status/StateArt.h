#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace pelmora {

// The status window's pictures, built into the program as resources.
namespace StateArt {
// The tray icon of a monitor state: 1 red, 2 green, anything else grey (switched off).
QIcon trayIcon(int state);
// The state glyph "State0".."State3": grey, red, green and the darker green of the flash.
QPixmap stateGlyph(int glyph);
// The hide button, "Down0", or "Down1" while the pointer is over it.
QPixmap downGlyph(bool lit);
// The pictures beside the cost and the time.
QPixmap financesPicture();
QPixmap timePicture();
// A picture by its name ("State2", "Down1", ...); null when there is none.
QPixmap picture(const QString& name);
}  // namespace StateArt

}  // namespace pelmora
