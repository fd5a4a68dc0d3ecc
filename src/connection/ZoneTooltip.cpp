#include "connection/ZoneTooltip.h"

#include <cstdio>

#include "accounting/AmountText.h"
#include "accounting/ZoneOutlook.h"
#include "store/ProgramOptions.h"
#include "store/SettingsStore.h"
#include "store/StoreKeys.h"
#include "store/StoredTariffs.h"

namespace pelmora {

namespace {

std::string clockText(int hour, int minute) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
  return text;
}

}  // namespace

std::string zoneTooltip(SettingsStore& store, const LocalTime& now, std::optional<Zone> metered,
                        char separator) {
  const DayTariffs today = readDayTariffs(store, now.weekday);
  const DayTariffs tomorrow = readDayTariffs(store, (now.weekday + 1) % 7);
  auto program = openKey(store, kProgramKey);
  const bool major = read(*program, options::kCurrencyStatus) == 1;
  const std::string sign =
      major ? read(*program, options::kCurrency) : read(*program, options::kCurrencySub);
  program->CloseKey();
  const auto perHour = [&](int price) {
    const std::string amount = std::to_string(price);
    return (major ? majorUnitText(amount, separator) : amount) + " " + sign + " в час";
  };

  const Zone zone = metered.value_or(lookupZone(today, now.hour, now.minute));
  const int price = zoneHourPrice(today, zone);
  std::string text = zone == Zone::None
                         ? std::string("Тариф на это время не задан")
                         : std::string("Зона ") + zoneLabel(zone) + ": " + perHour(price);
  const auto cheaper = nextCheaperZone(today, tomorrow, now.hour, now.minute, price);
  if (!cheaper) return text + "\nДешевле сегодня и завтра не будет";
  text += "\nДешевле с " + clockText(cheaper->hour, cheaper->minute) +
          (cheaper->tomorrow ? " завтра" : "") + ": ";
  text += cheaper->zone == Zone::None
              ? std::string("тариф не задан")
              : std::string("зона ") + zoneLabel(cheaper->zone) + ", " + perHour(cheaper->price);
  return text;
}

}  // namespace pelmora
