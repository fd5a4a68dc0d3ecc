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

// Whether the status window goes unmanaged by the window manager (override-redirect): on X11
// inside a Wayland session, where the compositor's own X window manager neither puts a small
// tool window where the program asks (weston) nor keeps it above the others (sway). GNOME's
// places and keeps it as X11 desktops do, so it stays managed there, and everywhere else.
bool unmanagedStatusWindow(const EnvironmentLookup& environment, const std::string& platform);

// Said once on standard error when the window ended up on Wayland itself.
extern const char* const kNativeWaylandNotice;

}  // namespace pelmora
