#pragma once

#include <cstdint>

namespace pelmora {

// One reading of the local clock: every field comes from the same instant.
struct LocalTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int weekday = 4;                // 0 = Sunday ... 6 = Saturday, like "%w"
  std::int64_t epochSeconds = 0;  // seconds since 1970-01-01 UTC, for real elapsed time
};

// The program's only source of "now"; tests hand in a scripted one.
class Clock {
 public:
  virtual ~Clock() = default;
  // The current local date, time and weekday.
  virtual LocalTime now() const = 0;
};

}  // namespace pelmora
