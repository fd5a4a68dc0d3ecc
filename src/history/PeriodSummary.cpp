#include "history/PeriodSummary.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include "accounting/AmountText.h"
#include "accounting/Connection.h"

namespace pelmora {

std::optional<CalendarDate> countedDay(const LoggedConnection& connection) {
  if (connection.unit == 0 || !connection.seconds) return std::nullopt;
  return connection.end ? connection.end->date : connection.start.date;
}

void addTo(PeriodSum& sum, const LoggedConnection& connection) {
  if (!connection.restored) ++sum.connections;
  sum.seconds += connection.seconds.value_or(0);
  try {
    sum.cost += parseStoredAmount(costNumber(connection.cost));
  } catch (const AmountError&) {
    // The reader took only cost texts that read as amounts.
  }
}

std::string periodKey(const CalendarDate& date, Period period) {
  LogTime t;
  t.date = date;
  const std::string day = isoTime(t).substr(0, 10);
  return period == Period::Day ? day : day.substr(0, 7);
}

void writeSums(std::ostream& out, const std::map<std::string, PeriodSum>& sums, Period period,
               bool json, std::size_t limit, const std::string& lineEnd) {
  const char* name = period == Period::Day ? "day" : "month";
  auto first = sums.begin();
  if (limit > 0 && limit < sums.size()) std::advance(first, sums.size() - limit);
  if (json) {
    out << "{\"" << name << "s\":[";
  } else {
    out << name << ",connections,seconds,cost" << lineEnd;
  }
  for (auto it = first; it != sums.end(); ++it) {
    const auto& [key, sum] = *it;
    const std::string cost = formatAmount(sum.cost, '.');
    if (json) {
      out << (it == first ? "" : ",") << "{\"" << name << "\":\"" << key
          << "\",\"connections\":" << sum.connections << ",\"seconds\":" << sum.seconds
          << ",\"cost\":" << cost << "}";
    } else {
      out << key << ',' << sum.connections << ',' << sum.seconds << ',' << cost << lineEnd;
    }
  }
  if (json) out << "]}" << lineEnd;
}

namespace {

std::string figures(const PeriodSum& sum) {
  const auto seconds = static_cast<std::int32_t>(
      std::min<std::int64_t>(sum.seconds, std::numeric_limits<std::int32_t>::max()));
  return std::to_string(sum.connections) + ';' + std::to_string(sum.seconds) + ';' +
         formatDuration(seconds) + ';' + formatAmount(sum.cost, '.');
}

}  // namespace

std::string oneLine(const CalendarDate& today, const PeriodSum& day, const PeriodSum& month) {
  return "1;" + periodKey(today, Period::Day) + ';' + figures(day) + ';' +
         periodKey(today, Period::Month) + ';' + figures(month);
}

}  // namespace pelmora
