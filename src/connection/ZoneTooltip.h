#pragma once

#include <optional>
#include <string>

#include "accounting/Tariffs.h"
#include "platform/Clock.h"

namespace pelmora {

class SettingsStore;

// The status window's tooltip over its cost and time: the zone in force with its price per hour
// in the unit the window shows, and when the next cheaper zone of today or tomorrow begins,
// found with the metering's own zone lookup. `metered`: the zone of the connection being
// metered, which prices all of it; otherwise the zone of this minute. Reads the store when asked,
// never on a timer. StoreError when the tariffs cannot be read.
std::string zoneTooltip(SettingsStore& store, const LocalTime& now, std::optional<Zone> metered,
                        char separator);

}  // namespace pelmora
