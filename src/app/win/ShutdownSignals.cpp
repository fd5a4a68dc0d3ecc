// Windows ends a program at shutdown through the session's end messages, which Qt turns into
// the end of the message loop; there are no signals to watch.
#include "app/ShutdownSignals.h"

namespace pelmora {

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {}
ShutdownSignals::~ShutdownSignals() = default;
void ShutdownSignals::drain() {}

}  // namespace pelmora
