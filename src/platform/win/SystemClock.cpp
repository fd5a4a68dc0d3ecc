#include "platform/SystemClock.h"

namespace pelmora {

std::tm localCalendarTime(std::time_t instant) {
  std::tm tm{};
  localtime_s(&tm, &instant);
  return tm;
}

}  // namespace pelmora
