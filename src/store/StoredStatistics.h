#pragma once

#include <cstdint>
#include <string>

#include "platform/Clock.h"

namespace pelmora {

class StoreKey;

// The statistics counters and the account, kept in the program key. Every function works on
// the program key the caller has open and reads and writes the values there; nothing is
// cached. Amount texts are read with either separator and written with `separator`.
// A stored amount that is no number or lies beyond the single-precision range, and a sum that
// would leave it, are StoreErrors naming the value; the caller's unit of the store undoes what
// was written before.

// Adds a finished connection to the day, week, month and total: the four second sums
// (saturating at the 32-bit limits), then Cents = costText, then the four cost sums, each
// summed in long double and rounded to float before it is written back.
void addToPeriods(StoreKey& program, std::int32_t seconds, float cost, const std::string& costText,
                  char separator);

// Draws the cost (minor units) from Account (major units) and returns the new Account text.
std::string drawFromAccount(StoreKey& program, float cost, char separator);

// NumberD, NumberW, NumberM and NumberT + 1: one more connection, counted at a disconnect.
void countConnection(StoreKey& program);

// Starts the day, week and month afresh at a program start. The month and the week use the
// latches UpdatedM and UpdatedW, not dates: the month is cleared (with the week) at the first
// start on days 1 to 5 after a start on day 6 or later, the week at the first start on a
// weekday after a weekend start. The day is cleared when Date differs from today's text.
// Writes nothing about Date itself: see recordStartDate.
void rollOverPeriods(StoreKey& program, const LocalTime& now);

// Today as "dd.mm.yy", the text kept in Date.
std::string startDateText(const LocalTime& now);

// What every start writes after the roll-over: Date = today, Cents = "0", Seconds = 0.
void recordStartDate(StoreKey& program, const LocalTime& now);

}  // namespace pelmora
