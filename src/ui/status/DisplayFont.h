#pragma once

#include <QFont>

namespace pelmora {

// The face of the status window's displays and of the settings dialog's larger texts: Arial,
// with the metric-compatible and narrow faces first among the stand-ins a Linux desktop has.
QFont displayFont(int pixels, bool bold);

}  // namespace pelmora
