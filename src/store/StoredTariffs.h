#pragma once

#include "accounting/Tariffs.h"

namespace pelmora {

class SettingsStore;

// Reads the 15 values of one weekday (0 = Sunday) from its tariff key, creating the key.
// StoreError when a value is missing or not an integer.
DayTariffs readDayTariffs(SettingsStore& store, int weekday);

}  // namespace pelmora
