#include "history/RunningStatus.h"

#include <cstdint>
#include <string_view>

#include "accounting/Meter.h"
#include "accounting/Tariffs.h"
#include "platform/MessageBoxes.h"
#include "store/ProgramOptions.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"

namespace pelmora {

namespace {

constexpr const char* kReadOnly = "Запись запрещена: база настроек открыта только для чтения.";

class ReadOnlyKey final : public StoreKey {
 public:
  ReadOnlyKey(std::unique_ptr<StoreKey> key, std::string path)
      : m_key(std::move(key)), m_path(std::move(path)) {}

  void CloseKey() override { m_key->CloseKey(); }
  bool ValueExists(const std::string& name) override { return m_key->ValueExists(name); }
  std::int32_t ReadInteger(const std::string& name) override { return m_key->ReadInteger(name); }
  std::string ReadString(const std::string& name) override { return m_key->ReadString(name); }
  void WriteInteger(const std::string& name, std::int32_t) override { refuse(name); }
  void WriteString(const std::string& name, const std::string&) override { refuse(name); }
  void DeleteValue(const std::string& name) override { refuse(name); }

 private:
  [[noreturn]] void refuse(const std::string& name) const {
    throw StoreError(m_path, name, kReadOnly);
  }

  std::unique_ptr<StoreKey> m_key;
  std::string m_path;
};

// Nobody sees the metering's panels or boxes here: the line is built from its results.
struct UnseenDisplay final : MeterDisplay {
  void showDuration(const std::string&) override {}
  void showCost(const std::string&) override {}
};

struct UnseenBoxes final : MessageBoxes {
  MessageAnswer show(const MessageBoxRequest& request) override { return request.defaultAnswer; }
};

struct StoppedClock final : Clock {
  explicit StoppedClock(const LocalTime& at) : time(at) {}
  LocalTime now() const override { return time; }
  LocalTime time;
};

// Days since 1970-01-01 of a calendar date.
std::int64_t daysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

std::int64_t twoDigits(std::string_view text) {
  return (text[0] - '0') * 10 + (text[1] - '0');
}

// The local wall-clock seconds of the last protector tick; the reader checked every field.
std::int64_t tickSeconds(const DurationRecord& r) {
  const std::string_view date = r.date;
  const std::int64_t year = twoDigits(date.substr(6, 2)) * 100 + twoDigits(date.substr(8, 2));
  return daysFromCivil(year, twoDigits(date.substr(3, 2)), twoDigits(date.substr(0, 2))) * 86400 +
         twoDigits(r.hour) * 3600 + twoDigits(r.minute) * 60 + twoDigits(r.second);
}

std::int64_t wallSeconds(const LocalTime& t) {
  return daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

}  // namespace

std::unique_ptr<StoreKey> ReadOnlySettingsStore::OpenKey(const std::string& path, bool) {
  auto key = m_store.OpenKey(path, false);
  if (!key) return nullptr;
  return std::make_unique<ReadOnlyKey>(std::move(key), path);
}

void ReadOnlySettingsStore::DeleteKey(const std::string& path) {
  throw StoreError(path, "", kReadOnly);
}

void ReadOnlySettingsStore::atomically(const std::function<void()>&) {
  throw StoreError(kProgramKey, "", kReadOnly);
}

std::optional<std::string> runningStatusLine(const DurationReading& crashFile, SettingsStore& store,
                                             const LocalTime& now) {
  if (crashFile.status != DurationReading::Status::Read) return std::nullopt;
  const DurationRecord& record = crashFile.record;
  const std::int64_t age = wallSeconds(now) - tickSeconds(record);
  if (age > kFreshCrashFileSeconds || age < -kFreshCrashFileSeconds) return std::nullopt;

  ReadOnlySettingsStore readOnly(store);
  auto program = openKey(readOnly, kProgramKey);
  // Settled but not yet removed: the connection has ended.
  if (read(*program, options::kSettledConnection) == connectionIdentity(record)) {
    program->CloseKey();
    return std::nullopt;
  }
  const std::int32_t freeSeconds = read(*program, options::kZero);
  const std::int32_t unit = read(*program, options::kCurrencyStatus);
  const std::string sign = read(*program, unit == 1 ? options::kCurrency : options::kCurrencySub);
  program->CloseKey();

  StoppedClock clock(now);
  UnseenDisplay display;
  UnseenBoxes boxes;
  TariffWarning warning(boxes);
  Meter meter(readOnly, clock, display, warning, '.');
  meter.setFreeSeconds(freeSeconds);
  meter.setDisplayUnit(unit);
  meter.restoreConnection(record.startHour, record.startMinute, record.weekday, record.seconds);
  meter.showDuration();
  meter.lookUpZone();
  meter.updateCost();
  return meter.durationText() + " " + meter.displayText() + (sign.empty() ? "" : " " + sign);
}

}  // namespace pelmora
