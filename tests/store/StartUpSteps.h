#pragma once

#include <utility>

#include "platform/Screen.h"
#include "store/SettingsStore.h"
#include "store/StoreProcedures.h"

namespace pelmora::testing {

class FixedScreen final : public Screen {
 public:
  ScreenSize size() const override { return {1280, 1024}; }
};

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
