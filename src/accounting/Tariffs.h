#pragma once

#include <exception>
#include <string>

namespace pelmora {

class MessageBoxes;

// One priced zone of a day: from begin (inclusive) to end (exclusive), a price per hour in
// minor units. Nothing guarantees the values are well formed; the lookup takes them as stored.
struct TariffZone {
  int beginHour = 0;    // AH
  int beginMinute = 0;  // AM
  int endHour = 0;      // ZH
  int endMinute = 0;    // ZM
  int price = 0;        // C
};

// The three zones of one weekday, in their fixed order.
struct DayTariffs {
  TariffZone max;  // "#1", values Max..
  TariffZone mid;  // "#2", values Mid..
  TariffZone min;  // "#3", values Min..
};

// The result of a lookup. None is the moment no zone covers.
enum class Zone { Max, Mid, Min, None };

// "MAX", "MID", "MIN" or "NULL".
const char* zoneName(Zone zone);
// "#1", "#2", "#3" or "--", as the tariff tester shows them.
const char* zoneLabel(Zone zone);

// The defaults every weekday gets when the week has to be repaired.
DayTariffs defaultDayTariffs();

// The zone in force at hour:minute of a day with these tariffs. Works on whole hours first and
// on minutes only at boundaries; where rules overlap the later one wins (see the .cpp).
Zone lookupZone(const DayTariffs& day, int hour, int minute);

// The once-per-run warning that a moment had no tariff. One object lives for the whole run and
// is shared by everything that prices a connection.
class TariffWarning {
 public:
  explicit TariffWarning(MessageBoxes& boxes) : m_boxes(boxes) {}

  // Shows the error box the first time; later calls, also those made while the box is still
  // open (ticks keep running inside its message loop), do nothing.
  void warnOnce();
  bool shown() const { return m_shown; }
  // Tells the user that the tariffs could not be read (the error's own text).
  void showReadError(const std::exception& error);

 private:
  MessageBoxes& m_boxes;
  bool m_shown = false;
};

// The price per hour in minor units of a zone of that day. None gives 0 and the warning.
int zonePrice(Zone zone, const DayTariffs& day, TariffWarning& warning);

// The price per hour of a zone of the day; 0 for a moment without zone. No warning.
int zoneHourPrice(const DayTariffs& day, Zone zone);

}  // namespace pelmora
