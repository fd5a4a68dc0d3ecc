#include "accounting/Connection.h"

#include <limits>

#include "accounting/AmountText.h"
#include "accounting/Money.h"

namespace pelmora {

namespace {

constexpr std::int64_t kDay = 24 * 3600;

std::string twoDigits(std::int64_t n) {
  const std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

std::string formatDuration(std::int32_t seconds) {
  const std::int64_t s = seconds;
  return twoDigits(s / 3600) + ":" + twoDigits(s % 3600 / 60) + ":" + twoDigits(s % 60);
}

std::int32_t roundUpToMinute(std::int32_t seconds) {
  std::int64_t s = seconds;
  std::int64_t minutes = s / 60;
  if (minutes * 60 < s) ++minutes;
  std::int64_t rounded = minutes * 60;
  constexpr std::int64_t top = std::numeric_limits<std::int32_t>::max() / 60 * 60;
  if (rounded > top) rounded = top;
  return static_cast<std::int32_t>(rounded);
}

std::string minutesText(std::int32_t seconds) {
  return std::to_string(seconds / 60) + " мин.";
}

Connection startedConnection(const LocalTime& start, std::int32_t extraSeconds) {
  Connection c;
  c.start = start;
  c.startInstant = start.epochSeconds;
  c.weekday = start.weekday;
  c.seconds = extraSeconds;
  return c;
}

Connection restoredConnection(int startHour, int startMinute, int weekday, std::int32_t seconds) {
  Connection c;
  c.start.hour = startHour;
  c.start.minute = startMinute;
  c.start.second = 0;
  c.weekday = weekday;
  c.seconds = seconds;
  return c;
}

std::int32_t durationAt(const Connection& connection, const LocalTime& now,
                        std::int32_t extraSeconds) {
  const LocalTime& start = connection.start;
  int secondsPart = now.second - start.second;
  int minutesPart = now.minute - start.minute;
  int hoursPart = now.hour - start.hour;
  if (secondsPart < 0) {
    secondsPart += 60;
    --minutesPart;
  }
  if (minutesPart < 0) {
    minutesPart += 60;
    --hoursPart;
  }
  if (hoursPart < 0) hoursPart += 24;
  std::int64_t elapsed = secondsPart + 60 * minutesPart + 3600 * hoursPart;

  // The wall clock alone cannot tell a day or more, and it jumps by an hour at a daylight-saving
  // change; the real instants of the two readings can. When they agree the wall clock stands.
  if (connection.startInstant) {
    const std::int64_t real = now.epochSeconds - *connection.startInstant;
    if (real >= kDay || (real >= 0 && real != elapsed)) elapsed = real;
  }
  return addSaturating(extraSeconds, elapsed);
}

ConnectionCost costOver(const Connection& connection, const DayTariffs& day,
                        const CostOptions& options) {
  const Zone zone = lookupZone(day, connection.start.hour, connection.start.minute);
  const std::int32_t seconds = connection.seconds;
  std::int32_t pricePerHour = zoneHourPrice(day, zone);
  // Not longer than the free seconds costs nothing; once longer, the whole duration is charged.
  if (seconds <= options.freeSeconds) pricePerHour = 0;

  const float cost = connectionCost(seconds, pricePerHour);
  const std::string costText = formatAmount(cost, options.separator);

  std::string displayText = costText;
  if (options.displayUnit == 1) displayText = majorUnitText(costText, options.separator);
  // The exponent form would lose its exponent to the cut below: tiny amounts go plain.
  if (displayText.find("E-") != std::string::npos) {
    displayText = formatAmountPlain(parseStoredAmount(displayText), options.separator);
  }
  if (displayText.size() > 7) displayText.resize(7);

  ConnectionCost result;
  result.zone = zone;
  result.priceText = std::to_string(pricePerHour);
  result.cost = cost;
  result.costText = costText;
  result.displayText = displayText;
  return result;
}

}  // namespace pelmora
