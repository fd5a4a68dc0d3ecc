#pragma once

#include <string>

#include "accounting/Tariffs.h"
#include "store/StoreKeys.h"
#include "support/MemorySettingsStore.h"

namespace pelmora::testing {

// Writes one weekday's tariffs straight into the store.
inline void putDay(MemorySettingsStore& store, int weekday, const DayTariffs& day) {
  const std::string key = tariffKey(weekday);
  auto put = [&](const std::string& prefix, const TariffZone& z) {
    store.set(key, prefix + "AH", z.beginHour);
    store.set(key, prefix + "AM", z.beginMinute);
    store.set(key, prefix + "ZH", z.endHour);
    store.set(key, prefix + "ZM", z.endMinute);
    store.set(key, prefix + "C", z.price);
  };
  put("Max", day.max);
  put("Mid", day.mid);
  put("Min", day.min);
}

// A store as the start-up sequence leaves it: default tariffs all week, zeroed counters.
inline void seedStore(MemorySettingsStore& store) {
  for (int d = 0; d < 7; ++d) putDay(store, d, defaultDayTariffs());
  for (const char* name : {"Seconds", "SecondsD", "SecondsW", "SecondsM", "SecondsT", "NumberD",
                           "NumberW", "NumberM", "NumberT", "Trunc", "CurrencyFull"}) {
    store.set(kProgramKey, name, 0);
  }
  for (const char* name : {"Cents", "CentsD", "CentsW", "CentsM", "CentsT", "Account"}) {
    store.set(kProgramKey, name, std::string("0"));
  }
  store.set(kProgramKey, "UpdatedM", 1);
  store.set(kProgramKey, "UpdatedW", 1);
  store.set(kProgramKey, "Date", std::string("01.01.26"));
}

inline std::string text(const MemorySettingsStore& store, const char* name) {
  return std::get<std::string>(*store.value(kProgramKey, name));
}

inline int integer(const MemorySettingsStore& store, const char* name) {
  return std::get<std::int32_t>(*store.value(kProgramKey, name));
}

// The text with its full stops replaced by the separator.
inline std::string withSeparator(std::string s, char separator) {
  for (char& c : s) {
    if (c == '.') c = separator;
  }
  return s;
}

}  // namespace pelmora::testing
