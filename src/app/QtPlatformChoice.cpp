#include "app/QtPlatformChoice.h"

namespace pelmora {

namespace {

bool isSet(const std::optional<std::string>& value) {
  return value.has_value() && !value->empty();
}

}  // namespace

std::optional<std::string> preferredQtPlatform(const EnvironmentLookup& environment) {
  if (isSet(environment("QT_QPA_PLATFORM"))) return std::nullopt;  // the user's own choice
  const bool wayland =
      isSet(environment("WAYLAND_DISPLAY")) || environment("XDG_SESSION_TYPE") == "wayland";
  if (!wayland || !isSet(environment("DISPLAY"))) return std::nullopt;
  return std::string("xcb;wayland");
}

bool unmanagedStatusWindow(const EnvironmentLookup& environment, const std::string& platform) {
  if (platform != "xcb" || !isSet(environment("WAYLAND_DISPLAY"))) return false;
  const std::optional<std::string> desktop = environment("XDG_CURRENT_DESKTOP");
  return !desktop || desktop->find("GNOME") == std::string::npos;
}

const char* const kNativeWaylandNotice =
    "Pelmora: окно статуса открыто прямо в Wayland, а Wayland не даёт программе держать окно "
    "поверх других и ставить его на сохранённое место; его положение не сохраняется. Запустите "
    "программу через Xwayland (QT_QPA_PLATFORM=xcb) или попросите об этом рабочий стол: в sway — "
    "правило for_window [app_id=\"org.example.Pelmora\"] floating enable, sticky enable.\n";

}  // namespace pelmora
