#pragma once

#include <cstdint>

namespace pelmora {

// The money arithmetic. Amounts are single-precision floats; every product and sum is formed in
// long double and rounded to float at fixed steps, and the two constants are long double.
//
// On x86 (Linux and mingw) long double is the 80-bit extended format with a 64-bit mantissa,
// and every figure the program shows comes out of it. Where long double is only a double (MSVC,
// 32-bit ARM) the first product of a cost is the same and the second, by 1/3600, can differ in
// the last bit of the float, and the ×0.01 texts in the major unit can differ in their last
// digit. Never build with -ffast-math or FMA contraction (CommonConfig turns both off).

// 1/3600 rounded to a 64-bit mantissa: the cost is multiplied by it, not divided by 3600.
inline constexpr long double kPerSecondOfHour = 1.0L / 3600.0L;
// Minor to major currency unit.
inline constexpr long double kMinorToMajor = 0.01L;

// The cost in minor units of a connection of that many seconds at a price per hour:
// float(float(float(seconds) × float(price)) × 1/3600).
float connectionCost(std::int32_t seconds, std::int32_t price);

// a + b limited to the 32-bit range instead of wrapping.
std::int32_t addSaturating(std::int32_t a, std::int64_t b);

}  // namespace pelmora
