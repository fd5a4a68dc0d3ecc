#pragma once

#include <functional>
#include <optional>
#include <string>

namespace pelmora {

// The environment as the program reads it: a variable's value, nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// The Qt platform list the program asks for when the user has chosen none. On a Wayland
// session with an X server beside it (Xwayland) the X11 platform comes first: only there may
// the status window stay above the others and sit where it was put; Wayland is the fallback.
// Nothing: leave Qt's own choice (an X11 session, the user's QT_QPA_PLATFORM, Wayland alone).
std::optional<std::string> preferredQtPlatform(const EnvironmentLookup& environment);

// Said once on standard error when the window ended up on Wayland itself.
extern const char* const kNativeWaylandNotice;

}  // namespace pelmora
