#pragma once

#include <ctime>

#include "platform/Clock.h"

namespace pelmora {

// The machine's local time, with its time zone and daylight saving.
class SystemClock final : public Clock {
 public:
  LocalTime now() const override;
};

// The system half of SystemClock (linux/SystemClock.cpp, win/SystemClock.cpp): the calendar
// fields of an instant in the machine's time zone, safe to call from any thread.
std::tm localCalendarTime(std::time_t instant);

}  // namespace pelmora
