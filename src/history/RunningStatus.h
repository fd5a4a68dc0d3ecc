#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/Clock.h"
#include "store/DurationFile.h"
#include "store/SettingsStore.h"

namespace pelmora {

// Another program's settings store seen without ever writing to it: keys are opened only when
// they exist, and every write, deletion or unit of writes is a StoreError.
class ReadOnlySettingsStore final : public SettingsStore {
 public:
  explicit ReadOnlySettingsStore(SettingsStore& store) : m_store(store) {}

  // Never creates: a missing key is null whatever `create` asks.
  std::unique_ptr<StoreKey> OpenKey(const std::string& path, bool create) override;
  void DeleteKey(const std::string& path) override;
  void atomically(const std::function<void()>& steps) override;

 private:
  SettingsStore& m_store;
};

// The crash file is rewritten every five seconds while a connection is metered; one whose tick
// is further than this from the clock was left by a run that ended without removing it.
inline constexpr int kFreshCrashFileSeconds = 30;

// The status bar line of the running connection: its duration as the status window shows it,
// a blank, its cost as the status window shows it (with '.' as the decimal separator) and,
// when the store has one, a blank and the currency sign of the unit shown. Priced by the
// metering itself from the crash file's seconds, start and weekday and the tariffs, free
// seconds and display unit in the store, which is only read.
//
// Nothing when no connection runs: no crash file, a damaged or stale one (see above), or one
// the store records as already settled. StoreError when the tariffs cannot be read.
std::optional<std::string> runningStatusLine(const DurationReading& crashFile, SettingsStore& store,
                                             const LocalTime& now);

}  // namespace pelmora
