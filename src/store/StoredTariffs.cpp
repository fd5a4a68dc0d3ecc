#include "store/StoredTariffs.h"

#include "store/SettingsStore.h"
#include "store/StoreKeys.h"

namespace pelmora {

DayTariffs readDayTariffs(SettingsStore& store, int weekday) {
  auto key = openKey(store, tariffKey(weekday));
  auto readZone = [&key](const std::string& prefix) {
    TariffZone z;
    z.beginHour = key->ReadInteger(prefix + "AH");
    z.beginMinute = key->ReadInteger(prefix + "AM");
    z.endHour = key->ReadInteger(prefix + "ZH");
    z.endMinute = key->ReadInteger(prefix + "ZM");
    z.price = key->ReadInteger(prefix + "C");
    return z;
  };
  DayTariffs day;
  day.max = readZone("Max");
  day.mid = readZone("Mid");
  day.min = readZone("Min");
  key->CloseKey();
  return day;
}

}  // namespace pelmora
