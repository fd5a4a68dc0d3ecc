#include "connection/Meter.h"

#include <algorithm>

#include "store/StoreError.h"
#include "store/StoredTariffs.h"

namespace pelmora {

const DayTariffs& ConnectionTariffs::read(SettingsStore& store, int weekday,
                                          TariffWarning& warning) {
  try {
    last = readDayTariffs(store, weekday);
  } catch (const StoreError& error) {
    if (!errorShown) {
      // Before the box: ticks run on while it is open.
      errorShown = true;
      warning.showReadError(error);
    }
    if (!last) throw;
  }
  return *last;
}

Meter::Meter(SettingsStore& store, const Clock& clock, MeterDisplay& display,
             TariffWarning& warning, char decimalSeparator)
    : m_store(store), m_clock(clock), m_display(display), m_warning(warning) {
  m_options.separator = decimalSeparator;
}

void Meter::setExtraSeconds(std::int32_t seconds) {
  m_extraSeconds = std::clamp(seconds, 0, kMaxExtraSeconds);
}

void Meter::setFreeSeconds(std::int32_t seconds) {
  m_options.freeSeconds = std::clamp(seconds, 0, kMaxFreeSeconds);
}

void Meter::startConnection(const LocalTime& start) {
  m_tariffs = ConnectionTariffs{};
  m_connection = startedConnection(start, m_extraSeconds);
  m_current = start;
}

void Meter::restoreConnection(int startHour, int startMinute, int weekday, std::int32_t seconds) {
  m_tariffs = ConnectionTariffs{};
  m_connection = restoredConnection(startHour, startMinute, weekday, seconds);
}

void Meter::setCurrentTime(const LocalTime& now) {
  m_current = now;
}

void Meter::tick() {
  setCurrentTime(m_clock.now());
  updateDuration();
  try {
    lookUpZone();
  } catch (const StoreError&) {
    // Already reported for this connection; the cost waits until the tariffs can be read.
    return;
  }
  updateCost();
}

void Meter::updateDuration() {
  m_connection.seconds = durationAt(m_connection, m_current, m_extraSeconds);
  showDuration();
}

void Meter::showDuration() {
  m_durationText = formatDuration(m_connection.seconds);
  m_display.showDuration(m_durationText);
}

void Meter::lookUpZone() {
  m_day = m_tariffs.read(m_store, m_connection.weekday, m_warning);
  m_zone = lookupZone(m_day, m_connection.start.hour, m_connection.start.minute);
}

void Meter::updateCost() {
  // The warning box may run further ticks inside its own message loop: the figures are computed
  // first and stored only after it.
  const ConnectionCost cost = costOver(m_connection, m_day, m_options);
  if (cost.zone == Zone::None) m_warning.warnOnce();
  m_cost = cost;
  m_display.showCost(m_cost.displayText + "   ");
}

}  // namespace pelmora
