#include "platform/ScriptedBeeper.h"

#include <ostream>

namespace pelmora {

void ScriptedBeeper::beep() {
  m_transcript << "beep" << std::endl;
}

}  // namespace pelmora
