#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "accounting/Tariffs.h"
#include "platform/Clock.h"

namespace pelmora {

// The dialog's limits of SecondsPlus and Zero; stored values outside them are clamped.
inline constexpr std::int32_t kMaxExtraSeconds = 100;
inline constexpr std::int32_t kMaxFreeSeconds = 900;

// One connection as a plain value: when it began and the seconds it has reached. Copied freely;
// what it costs and how long it lasts at a given time are the pure functions below.
struct Connection {
  LocalTime start;  // its start; a connection restored after a crash knows only hour and minute
  int weekday = 0;  // the weekday of the start, whose tariffs price it (0 = Sunday)
  std::int32_t seconds = 0;                  // the connection seconds, SecondsPlus included
  std::optional<std::int64_t> startInstant;  // unknown for a connection restored after a crash
};

// A connection that came up at `start` (one clock reading): start time, weekday and real start
// instant are taken from it and its seconds are the extra seconds.
Connection startedConnection(const LocalTime& start, std::int32_t extraSeconds);
// A connection cut by a crash, known only by its start hour and minute, its weekday and the
// seconds it had reached.
Connection restoredConnection(int startHour, int startMinute, int weekday, std::int32_t seconds);

// Connection seconds = extra seconds + time from the start to `now`. The elapsed time is the
// wall-clock difference modulo 24 hours (so midnight is crossed correctly); a connection of 24
// hours or more, or one across a daylight-saving change, is measured by the real time elapsed
// between the two clock readings instead.
std::int32_t durationAt(const Connection& connection, const LocalTime& now,
                        std::int32_t extraSeconds);

// What the figures of a cost depend on besides the connection and its tariffs.
struct CostOptions {
  std::int32_t freeSeconds = 0;  // Zero: the longest duration that costs nothing
  std::int32_t displayUnit = 0;  // CurrencyStatus: 1 shows the major unit, else the minor unit
  char separator = '.';          // the locale's decimal separator of every amount text
};

// The cost of a connection and its texts.
struct ConnectionCost {
  Zone zone = Zone::None;         // the zone of the start hour and minute
  std::string priceText = "0";    // the price per hour, "0" when free or without zone
  float cost = 0;                 // in minor units
  std::string costText = "0";     // the cost as stored
  std::string displayText = "0";  // what pCents shows before its three blanks
};

// The cost of the connection's seconds at the price of the zone of its start over that day's
// tariffs. Not longer than the free seconds costs nothing; once longer, the whole duration is
// charged. A moment without zone costs 0 (the caller warns).
ConnectionCost costOver(const Connection& connection, const DayTariffs& day,
                        const CostOptions& options);

// "hh:mm:ss" of a number of seconds, each part at least two digits (3725 -> "01:02:05").
std::string formatDuration(std::int32_t seconds);

// Trunc: the smallest multiple of 60 not below the seconds, kept inside the 32-bit range.
std::int32_t roundUpToMinute(std::int32_t seconds);
// What pTime shows for a connection rounded up to whole minutes: "2 мин.".
std::string minutesText(std::int32_t seconds);

// The summary entry without its line ends: nine blanks, "= ", the duration as the status window
// shows it, " + [", the first 8 characters of the cost text (minor units), the unit letter
// ('c' or 'k') and "]".
inline std::string summaryLineText(const std::string& durationText, const std::string& costText,
                                   char unitLetter) {
  return "         = " + durationText + " + [" + costText.substr(0, 8) + unitLetter + "]";
}

}  // namespace pelmora
