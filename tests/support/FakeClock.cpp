#include "support/FakeClock.h"

namespace pelmora::testing {

namespace {

// Days since 1970-01-01 of a civil date (Howard Hinnant's algorithm).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& year, int& month, int& day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (month <= 2));
}

}  // namespace

void FakeClock::set(int year, int month, int day, int hour, int minute, int second) {
  const long long days =
      daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
  m_now.year = year;
  m_now.month = month;
  m_now.day = day;
  m_now.hour = hour;
  m_now.minute = minute;
  m_now.second = second;
  m_now.weekday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  m_now.epochSeconds = days * 86400 + hour * 3600 + minute * 60 + second;
}

void FakeClock::advance(long long seconds) {
  const long long t = m_now.epochSeconds + seconds;
  long long days = t / 86400;
  long long rest = t % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  int y = 0, mo = 0, d = 0;
  civilFromDays(days, y, mo, d);
  set(y, mo, d, static_cast<int>(rest / 3600), static_cast<int>(rest % 3600 / 60),
      static_cast<int>(rest % 60));
}

}  // namespace pelmora::testing
