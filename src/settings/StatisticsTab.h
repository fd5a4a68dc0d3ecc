#pragma once

#include <array>
#include <string>

namespace pelmora {

class SettingsStore;

// The colour of the statistics tab's two indicators: green, yellow (255, 255, 0) or red.
enum class Indicator { Green, Yellow, Red };

// What the statistics tab shows, as texts. The arrays of five run from the last connection over
// the day, week and month to the total; the connection counts start at the day.
struct StatisticsCells {
  std::string account;                           // plAccount
  std::array<std::string, 5> cents;              // plcCents, pldCents, plwCents, plmCents, pltCents
  std::array<std::string, 5> dollars;            // plcDollars ... pltDollars
  std::array<std::string, 5> duration;           // plcDuration ... pltDuration (seconds)
  std::array<std::string, 5> durationTime;       // plcDurationTime ... (h:mm:ss, hours unlimited)
  std::array<std::string, 4> number;             // pldNumber ... pltNumber
  Indicator accountIndicator = Indicator::Red;   // pAccountIndicator
  Indicator spendingIndicator = Indicator::Red;  // pCentsIndicator
  bool clearEnabled = true;                      // the options tab's bClear
};

// RefreshStatistics: fills `cells` from the program key, in this order: the account, the
// connection counts, the costs in the minor unit (as stored), the costs in the major unit
// (majorUnitText of the same texts), the durations in seconds and as hours:mm:ss, the account
// indicator, the spending indicator for today's day of the month (1 to 31), and bClear (off
// when the ten cost and seconds cells all show "0"). The account and the cost cells are cut to
// 8 characters. A StoreError or an AmountError passes on; the cells filled before it keep their
// new texts.
void refreshStatistics(SettingsStore& store, int dayOfMonth, char decimalSeparator,
                       StatisticsCells& cells);

}  // namespace pelmora
