#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "history/ConnectionHistory.h"

namespace pelmora {

// The connections Pelmora counted in one day or month.
struct PeriodSum {
  std::int64_t connections = 0;
  std::int64_t seconds = 0;
  long double cost = 0;  // minor units
};

enum class Period { Day, Month };

// The day Pelmora counted a connection on, the day it ended, as its statistics do; none for a
// connection it did not count (no summary entry).
std::optional<CalendarDate> countedDay(const LoggedConnection& connection);

// Adds a counted connection: one restored after a crash adds its time and cost, not a connection.
void addTo(PeriodSum& sum, const LoggedConnection& connection);

// "2026-03-01" for a day, "2026-03" for a month: keys that sort in calendar order.
std::string periodKey(const CalendarDate& date, Period period);

// The sums by key, only the last `limit` of them when `limit` is above 0: CSV rows under their
// header, or one JSON document {"days": [...]} or {"months": [...]}.
void writeSums(std::ostream& out, const std::map<std::string, PeriodSum>& sums, Period period,
               bool json, std::size_t limit, const std::string& lineEnd);

// --oneline, fields separated by ";": the format (1), today, its connections, seconds, time
// (hh:mm:ss) and cost, then the month ("2026-12") with the same four figures.
std::string oneLine(const CalendarDate& today, const PeriodSum& day, const PeriodSum& month);

}  // namespace pelmora
