#include "app/SettingsTexts.h"

namespace pelmora {

const char* autoStartCaption() {
  return "ЗАПУСКАТЬ  ПРОГРАММУ  ПРИ  ВХОДЕ  В  WINDOWS";
}

const char* programPickerExtension() {
  return "exe";
}

}  // namespace pelmora
