#pragma once

#include "platform/Clock.h"

namespace pelmora::testing {

// A clock the test sets by hand. weekday and epochSeconds are whatever the test says.
class FakeClock final : public Clock {
 public:
  LocalTime now() const override { return m_now; }

  void set(const LocalTime& t) { m_now = t; }
  // Sets date and time; the weekday is worked out from the date (proleptic Gregorian),
  // epochSeconds as if local time were UTC.
  void set(int year, int month, int day, int hour, int minute, int second);
  // Moves the clock forward by that many seconds, across midnight and month ends.
  void advance(long long seconds);

 private:
  LocalTime m_now;
};

}  // namespace pelmora::testing
