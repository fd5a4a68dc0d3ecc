#pragma once

#include <utility>

#include "store/SettingsStore.h"
#include "store/StoreProcedures.h"
#include "support/FixedScreen.h"

namespace pelmora::testing {

inline constexpr const char* kExecutable = "/opt/pelmora/bin/pelmora";

// The start-up sequence's store steps, in its order; returns {defaults written, tariffs
// incomplete}.
inline std::pair<bool, bool> startUp(SettingsStore& store) {
  stampVersionCheck(store, kExecutable);
  const bool defaultsWritten = writeMissingDefaults(store, FixedScreen());
  const bool tariffsIncomplete = ensureTariffWeek(store);
  stampVersionWrite(store);
  countLaunch(store);
  return {defaultsWritten, tariffsIncomplete};
}

}  // namespace pelmora::testing
