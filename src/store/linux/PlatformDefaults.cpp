#include <string>

#include "platform/ProgramLinks.h"
#include "store/ProgramOptions.h"

namespace pelmora {

// The freedesktop sound theme's log-in and log-out sounds, and the desktop's browser on the
// program's web page.
const PlatformDefaults& platformDefaults() {
  static const PlatformDefaults defaults{
      "/usr/share/sounds/freedesktop/stereo/service-login.oga",
      "/usr/share/sounds/freedesktop/stereo/service-logout.oga",
      std::string("xdg-open ") + kWebPageAddress,
  };
  return defaults;
}

}  // namespace pelmora
