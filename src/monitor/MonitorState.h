#pragma once

namespace pelmora {

// The monitor's three states, as the tray icon, the status glyph and quitting read them.
enum MonitorState : int {
  kMonitorOff = 0,           // switched off; no polling
  kMonitorDisconnected = 1,  // switched on, not connected
  kMonitorConnected = 2,     // connected
};

}  // namespace pelmora
