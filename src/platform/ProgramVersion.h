#pragma once

namespace pelmora {

// The program's version, compiled in.
inline constexpr int kVersionMajor = 2;
inline constexpr int kVersionMinor = 4;
inline constexpr const char* kVersionText = "2.4";
inline constexpr const char* kProgramName = "Pelmora";
// The tray tooltip, the autostart entry's name and the launch counter's name.
inline constexpr const char* kProgramTitle = "Pelmora v2.4";

}  // namespace pelmora
