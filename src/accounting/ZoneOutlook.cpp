#include "accounting/ZoneOutlook.h"

namespace pelmora {

namespace {

constexpr int kMinutesPerDay = 24 * 60;

}  // namespace

std::optional<CheaperZone> nextCheaperZone(const DayTariffs& today, const DayTariffs& tomorrow,
                                           int hour, int minute, int price) {
  const int now = hour * 60 + minute;
  for (int at = now + 1; at < 2 * kMinutesPerDay; ++at) {
    const bool isTomorrow = at >= kMinutesPerDay;
    const DayTariffs& day = isTomorrow ? tomorrow : today;
    const int h = at % kMinutesPerDay / 60;
    const int m = at % 60;
    const Zone zone = lookupZone(day, h, m);
    const int zonePrice = zoneHourPrice(day, zone);
    if (zonePrice < price) return CheaperZone{zone, zonePrice, h, m, isTomorrow};
  }
  return std::nullopt;
}

}  // namespace pelmora
