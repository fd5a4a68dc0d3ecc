#pragma once

namespace pelmora {

// Asks the system whether the dial-up connection is up. Synchronous and quick enough for the
// user-interface thread; never throws: whatever it cannot tell is "not connected".
class ConnectionProbe {
 public:
  virtual ~ConnectionProbe() = default;
  // True when a dial-up connection is up.
  virtual bool probe() = 0;
};

}  // namespace pelmora
