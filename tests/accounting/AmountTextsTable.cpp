// Prints the money texts of a whole range of connections: the cost in minor units as stored,
// the same cost in the major unit, and the plain form. Built for Linux and for Windows, the two
// tables must be identical byte for byte (scripts/windows-test compares them).
#include <cstdint>
#include <cstdio>
#include <string>

#include "accounting/AmountText.h"
#include "accounting/Money.h"

int main() {
  using namespace pelmora;
  const std::int32_t prices[] = {1, 7, 20, 33, 60, 75, 99, 100, 137, 250, 999, 12345};
  long double account = 1000;
  for (std::int32_t price : prices) {
    for (std::int32_t seconds = 0; seconds <= 86400; seconds += 61) {
      const float cost = connectionCost(seconds, price);
      const long double major = cost * kMinorToMajor;
      // A running balance, read back from its own text before every draw.
      account = static_cast<float>(parseStoredAmount(formatAmount(account, ',')) - major);
      std::printf("%d %d %s %s %s %s\n", static_cast<int>(price), static_cast<int>(seconds),
                  formatAmount(cost, ',').c_str(), formatAmount(major, ',').c_str(),
                  formatAmountPlain(major, '.').c_str(), formatAmount(account, ',').c_str());
    }
  }
  return 0;
}
