#pragma once

#include <string>

#include "monitor/ConnectionProbe.h"

namespace pelmora {

// Windows: the remote-access service, loaded afresh at every probe (RasEnumConnectionsA,
// RasGetConnectStatusA) and freed before it returns. Connected when any enumerated connection
// is in the connected state, so two links up at once still count as connected; the buffer grows
// to what the service asks for. No library, no functions, or a failing call: not connected.
class RasConnectionProbe final : public ConnectionProbe {
 public:
  // library: the service's library (a name or a UTF-8 path); tests hand in a stand-in.
  explicit RasConnectionProbe(std::string library = "RASAPI32.DLL");

  bool probe() override;

 private:
  std::string m_library;
};

}  // namespace pelmora
