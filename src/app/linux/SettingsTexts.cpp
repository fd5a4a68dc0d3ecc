#include "app/SettingsTexts.h"

namespace pelmora {

// Autostart here is the desktop session's autostart folder, not Windows.
const char* autoStartCaption() {
  return "ЗАПУСКАТЬ  ПРОГРАММУ  ПРИ  ВХОДЕ  В  СИСТЕМУ";
}

// Programs have no extension here; an ".exe" added to a chosen program would name no file.
const char* programPickerExtension() {
  return "";
}

}  // namespace pelmora
