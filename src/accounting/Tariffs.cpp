#include "accounting/Tariffs.h"

#include "platform/MessageBoxes.h"

namespace pelmora {

const char* zoneName(Zone zone) {
  switch (zone) {
    case Zone::Max:
      return "MAX";
    case Zone::Mid:
      return "MID";
    case Zone::Min:
      return "MIN";
    case Zone::None:
      break;
  }
  return "NULL";
}

const char* zoneLabel(Zone zone) {
  switch (zone) {
    case Zone::Max:
      return "#1";
    case Zone::Mid:
      return "#2";
    case Zone::Min:
      return "#3";
    case Zone::None:
      break;
  }
  return "--";
}

DayTariffs defaultDayTariffs() {
  return DayTariffs{TariffZone{20, 0, 2, 0, 75}, TariffZone{9, 30, 20, 0, 60},
                    TariffZone{2, 0, 9, 30, 20}};
}

Zone lookupZone(const DayTariffs& day, int h, int m) {
  // Exactly one zone is taken to run over midnight: MAX if it begins after it ends, else MIN
  // if it does, else MID (even when MID does not wrap at all).
  Zone wrapping = Zone::Mid;
  if (day.max.beginHour > day.max.endHour) {
    wrapping = Zone::Max;
  } else if (day.min.beginHour > day.min.endHour) {
    wrapping = Zone::Min;
  }

  Zone result = Zone::None;
  // Hour pass, MIN then MID then MAX, later matches overwrite: the whole begin hour counts as
  // inside the zone and the whole end hour as outside.
  const struct {
    Zone zone;
    const TariffZone& z;
  } order[] = {{Zone::Min, day.min}, {Zone::Mid, day.mid}, {Zone::Max, day.max}};
  for (const auto& [zone, z] : order) {
    const bool inside = zone == wrapping ? (h < z.endHour || h >= z.beginHour)
                                         : (z.beginHour <= h && h < z.endHour);
    if (inside) result = zone;
  }

  // Minute pass: the begin rules first, then the end rules, so in an hour where one zone ends
  // and another begins at the same minute, the earlier minutes go to the ending zone.
  if (h == day.min.beginHour && m >= day.min.beginMinute) result = Zone::Min;
  if (h == day.mid.beginHour && m >= day.mid.beginMinute) result = Zone::Mid;
  if (h == day.max.beginHour && m >= day.max.beginMinute) result = Zone::Max;
  if (h == day.min.endHour && m < day.min.endMinute) result = Zone::Min;
  if (h == day.mid.endHour && m < day.mid.endMinute) result = Zone::Mid;
  if (h == day.max.endHour && m < day.max.endMinute) result = Zone::Max;
  return result;
}

void TariffWarning::warnOnce() {
  if (m_shown) return;
  m_shown = true;  // before the box: ticks run on while it is open
  m_boxes.show(informationBox("Ошибка определения тарифа.",
                              "Внимание! Тариф НЕ был корректно определён.\n"
                              "Расчёты финансовых затрат произведены не будут.\n"
                              "Во избежании появления этого же сообщения воспользуйтесь\n"
                              "опцией \"Протестировать тариф\" в настройках программы...",
                              MessageIcon::Error));
}

void TariffWarning::showReadError(const std::exception& error) {
  m_boxes.show(informationBox("Pelmora", error.what(), MessageIcon::Error));
}

int zoneHourPrice(const DayTariffs& day, Zone zone) {
  switch (zone) {
    case Zone::Max:
      return day.max.price;
    case Zone::Mid:
      return day.mid.price;
    case Zone::Min:
      return day.min.price;
    case Zone::None:
      break;
  }
  return 0;
}

int zonePrice(Zone zone, const DayTariffs& day, TariffWarning& warning) {
  if (zone == Zone::None) warning.warnOnce();
  return zoneHourPrice(day, zone);
}

}  // namespace pelmora
