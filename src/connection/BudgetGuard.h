#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelmora {

class StoreKey;

// A threshold the running connection can cross.
enum class BudgetThreshold {
  MonthlyLimit,  // the month's spending with the running cost reaches MaxCents (when above 0)
  Balance,       // the balance less the running cost falls to 0 or below
};

// One desktop notification: what was crossed, in the user's words and money texts.
struct BudgetNotice {
  BudgetThreshold threshold = BudgetThreshold::Balance;
  std::string title;
  std::string text;
};

// What the guard compares the running cost with, read once at the connect.
struct BudgetFigures {
  long double monthSpent = 0;     // CentsM, in the minor unit
  std::int32_t monthlyLimit = 0;  // MaxCents, in the minor unit; 0: no limit
  long double balance = 0;        // Account, in the major unit
  std::string minorSign;          // CurrencySub
  std::string majorSign;          // Currency
  char separator = '.';
};

// Tells the user once per connection and threshold that the money runs out while it runs: a
// threshold already passed at the connect is not told. It reads the store only at the connect;
// each metering tick compares the running cost with what it read then.
class BudgetGuard {
 public:
  // A connection came up: reads CentsM, MaxCents, Account and CurrencySub from the open program
  // key. Figures that cannot be read leave the guard disarmed for this connection (the
  // settlement reports them).
  void start(StoreKey& program, char separator);
  void start(const BudgetFigures& figures);
  // The connection ended: nothing more until the next start.
  void stop() { m_armed = false; }

  // The running cost in the minor unit: the thresholds crossed now and not before in this
  // connection. The balance is compared in the major unit, as the settlement would draw it.
  std::vector<BudgetNotice> check(long double runningCost);

 private:
  bool limitReached(long double runningCost) const;
  float balanceLeft(long double runningCost) const;
  std::string minorMoney(long double amount) const;
  std::string majorMoney(long double amount) const;

  BudgetFigures m_figures;
  bool m_armed = false;
  bool m_limitNoticed = false;
  bool m_balanceNoticed = false;
};

}  // namespace pelmora
