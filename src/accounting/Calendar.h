#pragma once

#include <cstdint>

namespace pelmora {

// Days since 1970-01-01 of a calendar date (proleptic Gregorian): the distance between two
// local dates the log and the crash file write.
std::int64_t daysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d);

}  // namespace pelmora
