#pragma once

#include <QIcon>
#include <QPixmap>

namespace pelmora {

// The program's pictures, drawn in code: the tray icon and the state glyph in the colour of
// the monitor state (0 grey, 1 red, 2 green; glyph 3 is the darker green of the flash).
namespace StateArt {
QIcon trayIcon(int state);
QPixmap stateGlyph(int state);
}  // namespace StateArt

}  // namespace pelmora
