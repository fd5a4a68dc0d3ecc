#include "platform/SystemClock.h"

namespace pelmora {

LocalTime SystemClock::now() const {
  const std::time_t t = std::time(nullptr);
  const std::tm tm = localCalendarTime(t);
  LocalTime lt;
  lt.year = tm.tm_year + 1900;
  lt.month = tm.tm_mon + 1;
  lt.day = tm.tm_mday;
  lt.hour = tm.tm_hour;
  lt.minute = tm.tm_min;
  lt.second = tm.tm_sec;
  lt.weekday = tm.tm_wday;
  lt.epochSeconds = static_cast<std::int64_t>(t);
  return lt;
}

}  // namespace pelmora
