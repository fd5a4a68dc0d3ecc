#pragma once

#include <optional>

#include "accounting/Tariffs.h"

namespace pelmora {

// Where a cheaper zone begins, looking ahead from a moment of the day.
struct CheaperZone {
  Zone zone = Zone::None;
  int price = 0;  // per hour, minor units
  int hour = 0;
  int minute = 0;
  bool tomorrow = false;
};

// The first minute after hour:minute, through the rest of today and the whole of tomorrow, whose
// zone (the metering's own lookup) costs less per hour than `price`. Nothing when none does.
std::optional<CheaperZone> nextCheaperZone(const DayTariffs& today, const DayTariffs& tomorrow,
                                           int hour, int minute, int price);

}  // namespace pelmora
