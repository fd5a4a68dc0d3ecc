#include <string>

#include "platform/ProgramLinks.h"
#include "store/ProgramOptions.h"

namespace pelmora {

// The system's own sounds, and the browser from its usual installation path on the program's
// web page.
const PlatformDefaults& platformDefaults() {
  static const PlatformDefaults defaults{
      "C:\\WINDOWS\\MEDIA\\TADA.wAv",
      "C:\\WINDOWS\\MEDIA\\CHIMES.wAv",
      std::string("C:\\PROGRAM FILES\\INTERNET EXPLORER\\IEXPLORE.EXE ") + kWebPageAddress,
  };
  return defaults;
}

}  // namespace pelmora
