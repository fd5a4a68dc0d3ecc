#include "settings/SettingsTexts.h"

namespace pelmora {

// Autostart here is the desktop session's autostart folder, not Windows.
const char* autoStartCaption() {
  return "ЗАПУСКАТЬ  ПРОГРАММУ  ПРИ  ВХОДЕ  В  СИСТЕМУ";
}

// The desktop's event sounds are Ogg files; the player plays Ogg Vorbis and WAV. "*.*" would hide
// a file without an extension.
const char* soundPickerFilter() {
  return "Звуки (oGa, oGg, wAv)|*.oga;*.ogg;*.wav|Все файлы|*";
}

// A program here is any file the user may run, whatever its name.
const char* programPickerFilter() {
  return "Программы|*";
}

bool programPickerExecutablesOnly() {
  return true;
}

// Programs have no extension here; an ".exe" added to a chosen program would name no file.
const char* programPickerExtension() {
  return "";
}

}  // namespace pelmora
