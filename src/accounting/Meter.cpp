#include "accounting/Meter.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "accounting/AmountText.h"
#include "accounting/Money.h"
#include "accounting/Statistics.h"
#include "store/SettingsStore.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "store/ProgramOptions.h"

namespace pelmora {

namespace {

constexpr std::int64_t kDay = 24 * 3600;

std::string twoDigits(std::int64_t n) {
  const std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

// The smallest multiple of 60 not below the seconds, kept inside the 32-bit range.
std::int32_t roundUpToMinute(std::int32_t seconds) {
  std::int64_t s = seconds;
  std::int64_t minutes = s / 60;
  if (minutes * 60 < s) ++minutes;
  std::int64_t rounded = minutes * 60;
  constexpr std::int64_t top = std::numeric_limits<std::int32_t>::max() / 60 * 60;
  if (rounded > top) rounded = top;
  return static_cast<std::int32_t>(rounded);
}

}  // namespace

std::string formatDuration(std::int32_t seconds) {
  const std::int64_t s = seconds;
  return twoDigits(s / 3600) + ":" + twoDigits(s % 3600 / 60) + ":" + twoDigits(s % 60);
}

Meter::Meter(SettingsStore& store, const Clock& clock, MeterDisplay& display,
             TariffWarning& warning, char decimalSeparator)
    : m_store(store),
      m_clock(clock),
      m_display(display),
      m_warning(warning),
      m_separator(decimalSeparator) {}

void Meter::setExtraSeconds(std::int32_t seconds) {
  m_extraSeconds = std::clamp(seconds, 0, kMaxExtraSeconds);
}

void Meter::setFreeSeconds(std::int32_t seconds) {
  m_freeSeconds = std::clamp(seconds, 0, kMaxFreeSeconds);
}

void Meter::startConnection(const LocalTime& start) {
  m_haveTariffs = false;
  m_tariffErrorShown = false;
  m_start = start;
  m_current = start;
  m_startInstant = start.epochSeconds;
  m_weekday = start.weekday;
  m_seconds = m_extraSeconds;
}

void Meter::restoreConnection(int startHour, int startMinute, int weekday, std::int32_t seconds) {
  m_haveTariffs = false;
  m_tariffErrorShown = false;
  m_start = LocalTime{};
  m_start.hour = startHour;
  m_start.minute = startMinute;
  m_start.second = 0;
  m_startInstant.reset();
  m_weekday = weekday;
  m_seconds = seconds;
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
  int secondsPart = m_current.second - m_start.second;
  int minutesPart = m_current.minute - m_start.minute;
  int hoursPart = m_current.hour - m_start.hour;
  if (secondsPart < 0) {
    secondsPart += 60;
    --minutesPart;
  }
  if (minutesPart < 0) {
    minutesPart += 60;
    --hoursPart;
  }
  if (hoursPart < 0) hoursPart += 24;
  std::int64_t elapsed = secondsPart + 60 * minutesPart + 3600 * hoursPart;

  // The wall clock alone cannot tell a day or more, and it jumps by an hour at a daylight-saving
  // change; the real instants of the two readings can. When they agree the wall clock stands.
  if (m_startInstant) {
    const std::int64_t real = m_current.epochSeconds - *m_startInstant;
    if (real >= kDay || (real >= 0 && real != elapsed)) elapsed = real;
  }
  m_seconds = addSaturating(m_extraSeconds, elapsed);
  showDuration();
}

void Meter::showDuration() {
  m_durationText = formatDuration(m_seconds);
  m_display.showDuration(m_durationText);
}

void Meter::lookUpZone() {
  try {
    m_day = readDayTariffs(m_store, m_weekday);
    m_haveTariffs = true;
  } catch (const StoreError& error) {
    if (!m_tariffErrorShown) {
      // Before the box: ticks run on while it is open.
      m_tariffErrorShown = true;
      m_warning.showReadError(error);
    }
    if (!m_haveTariffs) throw;
  }
  m_zone = lookupZone(m_day, m_start.hour, m_start.minute);
}

void Meter::updateCost() {
  // The warning box may run further ticks inside its own message loop; work on locals and
  // store the results only at the end.
  const Zone zone = m_zone;
  const DayTariffs day = m_day;
  const std::int32_t seconds = m_seconds;
  std::int32_t pricePerHour = zonePrice(zone, day, m_warning);
  // Not longer than the free seconds costs nothing; once longer, the whole duration is charged.
  if (seconds <= m_freeSeconds) pricePerHour = 0;

  const float cost = connectionCost(seconds, pricePerHour);
  const std::string costText = formatAmount(cost, m_separator);

  std::string displayText = costText;
  if (m_displayUnit == 1) displayText = majorUnitText(costText, m_separator);
  // The exponent form would lose its exponent to the cut below: tiny amounts go plain.
  if (displayText.find("E-") != std::string::npos) {
    displayText = formatAmountPlain(parseStoredAmount(displayText), m_separator);
  }
  if (displayText.size() > 7) displayText.resize(7);

  m_priceText = std::to_string(pricePerHour);
  m_cost = cost;
  m_costText = costText;
  m_displayText = displayText;
  m_display.showCost(m_displayText + "   ");
}

SettledConnection Meter::closeConnection(const std::string& connection, bool count) {
  lookUpZone();
  updateCost();

  auto options = openKey(m_store, kProgramKey);
  const bool trunc = read(*options, options::kTrunc) == 1;
  const char unitLetter = read(*options, options::kCurrencyFull) == 0 ? 'c' : 'k';
  options->CloseKey();
  if (trunc) {
    m_seconds = roundUpToMinute(m_seconds);
    m_durationText = std::to_string(m_seconds / 60) + " мин.";
    m_display.showDuration(m_durationText);
    updateCost();
  }

  SettledConnection settled;
  settled.summaryLine = summaryLineText(m_durationText, m_costText, unitLetter);
  m_store.atomically([&] {
    auto program = openKey(m_store, kProgramKey);
    write(*program, options::kSeconds, m_seconds);
    addToPeriods(*program, m_seconds, m_cost, m_costText, m_separator);
    settled.balanceText = drawFromAccount(*program, m_cost, m_separator);
    if (count) countConnection(*program);
    write(*program, options::kSettledConnection, connection);
    write(*program, options::kSettledSummary, settled.summaryLine);
    program->CloseKey();
  });
  return settled;
}

}  // namespace pelmora
