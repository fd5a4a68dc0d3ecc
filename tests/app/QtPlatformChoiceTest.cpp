// The Qt platform the program asks for: the environment in, the platform list out.

#include "app/QtPlatformChoice.h"

#include <map>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace pelmora {
namespace {

std::optional<std::string> choose(const std::map<std::string, std::string>& environment) {
  return preferredQtPlatform([&environment](const char* name) -> std::optional<std::string> {
    const auto found = environment.find(name);
    if (found == environment.end()) return std::nullopt;
    return found->second;
  });
}

TEST(QtPlatformChoiceTest, AWaylandSessionWithXwaylandGoesThroughX11UnlessTheUserChose) {
  const std::optional<std::string> x11First = std::string("xcb;wayland");
  // GNOME, sway, weston with Xwayland: the window can stay on top and be placed there.
  EXPECT_EQ(choose({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}), x11First);
  EXPECT_EQ(choose({{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":1"}}), x11First);
  EXPECT_EQ(choose({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", ""}}),
            x11First);
  // The user's own platform is kept, even one Qt would refuse.
  EXPECT_EQ(
      choose({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "wayland"}}),
      std::nullopt);
  // Wayland without an X server: Qt's own choice, Wayland itself.
  EXPECT_EQ(choose({{"WAYLAND_DISPLAY", "wayland-0"}}), std::nullopt);
  EXPECT_EQ(choose({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ""}}), std::nullopt);
  // An X11 session, or no session at all, is left alone.
  EXPECT_EQ(choose({{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}}), std::nullopt);
  EXPECT_EQ(choose({}), std::nullopt);
}

// Through Xwayland the status window is left to the program, except where GNOME manages it well.
TEST(QtPlatformChoiceTest, OnlyAnXwaylandWindowOutsideGnomeGoesUnmanaged) {
  const auto unmanaged = [](const std::map<std::string, std::string>& environment,
                            const std::string& platform) {
    return unmanagedStatusWindow(
        [&environment](const char* name) -> std::optional<std::string> {
          const auto found = environment.find(name);
          if (found == environment.end()) return std::nullopt;
          return found->second;
        },
        platform);
  };
  EXPECT_TRUE(unmanaged({{"WAYLAND_DISPLAY", "wayland-1"}}, "xcb"));
  EXPECT_TRUE(
      unmanaged({{"WAYLAND_DISPLAY", "wayland-1"}, {"XDG_CURRENT_DESKTOP", "sway"}}, "xcb"));
  EXPECT_FALSE(unmanaged(
      {{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}, "xcb"));
  EXPECT_FALSE(unmanaged({{"XDG_CURRENT_DESKTOP", "XFCE"}}, "xcb"));  // X11 itself
  EXPECT_FALSE(unmanaged({{"WAYLAND_DISPLAY", "wayland-1"}}, "wayland"));
}

}  // namespace
}  // namespace pelmora
