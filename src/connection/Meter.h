#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "accounting/Connection.h"
#include "accounting/Tariffs.h"
#include "platform/Clock.h"

namespace pelmora {

class SettingsStore;

// The two panels of the status window the metering writes into.
class MeterDisplay {
 public:
  virtual ~MeterDisplay() = default;
  // pTime: "hh:mm:ss", or "2 мин." once a connection was rounded up to whole minutes.
  virtual void showDuration(const std::string& text) = 0;
  // pCents: the cost as shown, already followed by its three blanks.
  virtual void showCost(const std::string& text) = 0;
};

// The tariffs of one connection's weekday as its metering and its settlement read them: afresh
// at every use. When they cannot be read, the user is told once per connection and the tariffs
// last read for this connection stand; StoreError only when there are none. A plain value.
struct ConnectionTariffs {
  std::optional<DayTariffs> last;  // the tariffs last read for this connection
  bool errorShown = false;         // the read error was told for this connection

  const DayTariffs& read(SettingsStore& store, int weekday, TariffWarning& warning);
};

// A connection as its metering leaves it: what its settlement needs once the metering has moved
// on to the next one. A plain value, kept in the queue of pending settlements.
struct MeteredConnection {
  Connection connection;
  CostOptions options;
  ConnectionTariffs tariffs;
};

// The live metering of one connection at a time: at every tick its duration and cost are
// recomputed from scratch and drawn into the status window's panels. ProgramCore owns one Meter
// for the life of the program and sets its options from the store at start-up and whenever it
// reads the status window's options; the Meter keeps the values of the last connection until the
// next one replaces them. Not thread-safe: everything runs on the user-interface thread.
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
  void setDisplayUnit(std::int32_t unit) { m_options.displayUnit = unit; }

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
  // Connection seconds = SecondsPlus + time from start to the current time (durationAt), shown
  // in pTime.
  void updateDuration();
  // Shows the connection seconds in pTime as "hh:mm:ss" without reading the clock.
  void showDuration();
  // Reads the tariffs of the connection weekday afresh (ConnectionTariffs) and finds the zone of
  // the start hour and minute.
  void lookUpZone();
  // Price, cost, cost text and display text for the current seconds and zone; shown in pCents.
  // A moment without zone costs 0 and shows the no-tariff warning once per run.
  void updateCost();
  // The connection as it stands, with its options and tariffs, for its settlement.
  MeteredConnection metered() const { return {m_connection, m_options, m_tariffs}; }
  // The panels it draws into; a settlement right after the disconnect shows the final figures
  // there.
  MeterDisplay& display() const { return m_display; }

  std::int32_t connectionSeconds() const { return m_connection.seconds; }
  int startHour() const { return m_connection.start.hour; }
  int startMinute() const { return m_connection.start.minute; }
  int weekday() const { return m_connection.weekday; }
  Zone zone() const { return m_zone; }
  // The price per hour as text, "0" when free or without zone.
  const std::string& priceText() const { return m_cost.priceText; }
  // The cost in minor units and its stored text.
  float cost() const { return m_cost.cost; }
  const std::string& costText() const { return m_cost.costText; }
  // What pCents shows before its three blanks.
  const std::string& displayText() const { return m_cost.displayText; }
  // What pTime shows.
  const std::string& durationText() const { return m_durationText; }

 private:
  SettingsStore& m_store;
  const Clock& m_clock;
  MeterDisplay& m_display;
  TariffWarning& m_warning;

  std::int32_t m_extraSeconds = 0;
  CostOptions m_options;

  Connection m_connection;
  LocalTime m_current;
  ConnectionTariffs m_tariffs;
  DayTariffs m_day;
  Zone m_zone = Zone::None;
  ConnectionCost m_cost;
  std::string m_durationText;
};

}  // namespace pelmora
