#include "accounting/Money.h"

#include <limits>

namespace pelmora {

float connectionCost(std::int32_t seconds, std::int32_t price) {
  const auto duration = static_cast<long double>(static_cast<float>(seconds));
  const auto perHour = static_cast<long double>(static_cast<float>(price));
  const auto product = static_cast<float>(duration * perHour);
  return static_cast<float>(static_cast<long double>(product) * kPerSecondOfHour);
}

std::int32_t addSaturating(std::int32_t a, std::int64_t b) {
  constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
  if (b > hi - lo) b = hi - lo;  // keeps a + b inside int64
  if (b < lo - hi) b = lo - hi;
  const std::int64_t sum = static_cast<std::int64_t>(a) + b;
  return static_cast<std::int32_t>(sum < lo ? lo : (sum > hi ? hi : sum));
}

}  // namespace pelmora
