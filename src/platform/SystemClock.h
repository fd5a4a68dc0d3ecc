#pragma once

#include "platform/Clock.h"

namespace pelmora {

// The machine's local time, with its time zone and daylight saving.
class SystemClock final : public Clock {
 public:
  LocalTime now() const override;
};

}  // namespace pelmora
