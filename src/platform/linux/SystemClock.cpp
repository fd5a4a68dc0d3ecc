#include "platform/SystemClock.h"

namespace pelmora {

std::tm localCalendarTime(std::time_t instant) {
  std::tm tm{};
  localtime_r(&instant, &tm);
  return tm;
}

}  // namespace pelmora
