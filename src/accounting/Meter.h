#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "accounting/Tariffs.h"
#include "platform/Clock.h"

namespace pelmora {

class SettingsStore;

// The dialog's limits of SecondsPlus and Zero; stored values outside them are clamped.
inline constexpr std::int32_t kMaxExtraSeconds = 100;
inline constexpr std::int32_t kMaxFreeSeconds = 900;

// What a settled connection leaves for the files.
struct SettledConnection {
  std::string balanceText;  // the new Account, for Account.LOG
  std::string summaryLine;  // the connection log's summary entry, without its line ends
};

// The summary entry without its line ends: nine blanks, "= ", the duration as the status window
// shows it, " + [", the first 8 characters of the cost text (minor units), the unit letter
// ('c' or 'k') and "]".
inline std::string summaryLineText(const std::string& durationText, const std::string& costText,
                                   char unitLetter) {
  return "         = " + durationText + " + [" + costText.substr(0, 8) + unitLetter + "]";
}

// The two panels of the status window the metering writes into.
class MeterDisplay {
 public:
  virtual ~MeterDisplay() = default;
  // pTime: "hh:mm:ss", or "2 мин." once a connection was rounded up to whole minutes.
  virtual void showDuration(const std::string& text) = 0;
  // pCents: the cost as shown, already followed by its three blanks.
  virtual void showCost(const std::string& text) = 0;
};

// The metering of one connection at a time: its duration and cost, recomputed from scratch at
// every tick and settled when it ends. The status window owns one Meter for the life of the
// program and sets its options each time it is shown; the Meter keeps the values of the last
// connection until the next one replaces them. Not thread-safe: everything runs on the
// user-interface thread.
class Meter {
 public:
  // The store, clock, display and warning latch must outlive the Meter. The separator is the
  // locale's decimal separator for every amount text written.
  Meter(SettingsStore& store, const Clock& clock, MeterDisplay& display, TariffWarning& warning,
        char decimalSeparator);

  // SecondsPlus: seconds added to every connection, 0 to kMaxExtraSeconds.
  void setExtraSeconds(std::int32_t seconds);
  // Zero: the longest duration that costs nothing, 0 to kMaxFreeSeconds.
  void setFreeSeconds(std::int32_t seconds);
  // CurrencyStatus: 1 shows the cost in the major unit, anything else in the minor unit.
  void setDisplayUnit(std::int32_t unit) { m_displayUnit = unit; }

  // A connection came up at `start` (one clock reading): start time, weekday and real start
  // instant are taken from it and the connection seconds become SecondsPlus.
  void startConnection(const LocalTime& start);
  // A connection cut by a crash, known only by its start hour and minute, its weekday and the
  // seconds it had reached. Nothing is shown; see showDuration.
  void restoreConnection(int startHour, int startMinute, int weekday, std::int32_t seconds);
  // The time against which the duration is computed; the disconnect sets the end time here.
  void setCurrentTime(const LocalTime& now);

  // One metering tick: the clock, updateDuration, lookUpZone, updateCost.
  void tick();
  // Connection seconds = SecondsPlus + time from start to the current time, shown in pTime.
  // The elapsed time is the wall-clock difference modulo 24 hours (so midnight is crossed
  // correctly); a connection of 24 hours or more, or one across a daylight-saving change, is
  // measured by the real time elapsed between the two clock readings instead.
  void updateDuration();
  // Shows the connection seconds in pTime as "hh:mm:ss" without reading the clock.
  void showDuration();
  // Reads the tariffs of the connection weekday afresh and finds the zone of the start hour and
  // minute. When they cannot be read, the user is told once per connection and the tariffs last
  // read for this connection stand; StoreError only when there are none.
  void lookUpZone();
  // Price, cost, cost text and display text for the current seconds and zone; shown in pCents.
  // A moment without zone costs 0 and shows the no-tariff warning once per run.
  void updateCost();
  // Settles the connection: final cost and rounding up to whole minutes when Trunc is 1 (read
  // only), then in one unit of the store Seconds, the statistics periods, the account, the
  // connection count when `count` is set, and the record of which connection this was
  // (`connection`, SettledConnection, with its summary entry, SettledSummary). StoreError,
  // StoreBusy or AmountError leave the store as it was.
  SettledConnection closeConnection(const std::string& connection, bool count);

  std::int32_t connectionSeconds() const { return m_seconds; }
  int startHour() const { return m_start.hour; }
  int startMinute() const { return m_start.minute; }
  int weekday() const { return m_weekday; }
  Zone zone() const { return m_zone; }
  // The price per hour as text, "0" when free or without zone.
  const std::string& priceText() const { return m_priceText; }
  // The cost in minor units and its stored text.
  float cost() const { return m_cost; }
  const std::string& costText() const { return m_costText; }
  // What pCents shows before its three blanks.
  const std::string& displayText() const { return m_displayText; }
  // What pTime shows.
  const std::string& durationText() const { return m_durationText; }

 private:
  SettingsStore& m_store;
  const Clock& m_clock;
  MeterDisplay& m_display;
  TariffWarning& m_warning;
  char m_separator;

  std::int32_t m_extraSeconds = 0;
  std::int32_t m_freeSeconds = 0;
  std::int32_t m_displayUnit = 0;

  LocalTime m_start;
  LocalTime m_current;
  std::optional<std::int64_t> m_startInstant;  // unknown for a connection restored after a crash
  int m_weekday = 0;
  std::int32_t m_seconds = 0;

  DayTariffs m_day;
  bool m_haveTariffs = false;       // m_day was read for this connection
  bool m_tariffErrorShown = false;  // once per connection
  Zone m_zone = Zone::None;
  std::string m_priceText = "0";
  float m_cost = 0;
  std::string m_costText = "0";
  std::string m_displayText = "0";
  std::string m_durationText;
};

// "hh:mm:ss" of a number of seconds, each part at least two digits (3725 -> "01:02:05").
std::string formatDuration(std::int32_t seconds);

}  // namespace pelmora
