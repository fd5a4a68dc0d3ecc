#include "settings/SettingsTexts.h"

namespace pelmora {

const char* autoStartCaption() {
  return "ЗАПУСКАТЬ  ПРОГРАММУ  ПРИ  ВХОДЕ  В  WINDOWS";
}

const char* soundPickerFilter() {
  return "Звуки (wAv)|*.wav;*.snd|Все файлы|*.*";
}

const char* programPickerFilter() {
  return "Программы (eXe, cOm)|*.exe;*.com|Все файлы|*.*";
}

bool programPickerExecutablesOnly() {
  return false;
}

const char* programPickerExtension() {
  return "exe";
}

}  // namespace pelmora
