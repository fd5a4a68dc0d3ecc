#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "history/ConnectionHistory.h"

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
  void Atomically(const std::function<void()>& steps) override;

 private:
  SettingsStore& m_store;
};

// The crash file is rewritten every five seconds while a connection is metered; one whose tick
// is older than this was left by a run that ended without removing it.
inline constexpr int kFreshCrashFileSeconds = 30;

// The running connection as the status window shows it: its duration, its cost (with '.' as
// the decimal separator) and the currency sign of the unit shown (may be empty).
struct RunningFigures {
  std::int32_t seconds = 0;
  std::string duration;
  std::string cost;
  std::string sign;

  // "00:12:00 0.75 $": the status bar line.
  std::string line() const;
};

// The start of the connection being metered: the log's last entry is a connect entry the
// disconnect has not yet ended with its line end. Nothing for any other tail of the log.
std::optional<LogTime> runningConnectionStart(std::string_view logTail);

// Prices the connection that started at `start` (a local time of the log) up to `now` by the
// metering itself: SecondsPlus, the free seconds, the tariffs of the start's weekday and the
// display unit in the store, which is only read. StoreError when the tariffs cannot be read.
RunningFigures priceFromStart(const LogTime& start, SettingsStore& store, const LocalTime& now,
                              const UtcOffsetOf& utcOffset);

// The same from the crash file's seconds, start and weekday, for a connection whose connect
// entry the log lacks. Nothing when the file is missing, damaged, stale (see above) or ticked
// after now, or the store records it as already settled.
std::optional<RunningFigures> priceFromCrashFile(const DurationReading& crashFile,
                                                 SettingsStore& store, const LocalTime& now);

}  // namespace pelmora
