#include "history/RunningStatus.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "accounting/Connection.h"
#include "accounting/Tariffs.h"
#include "store/ProgramOptions.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "store/StoredTariffs.h"

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

void ReadOnlySettingsStore::Atomically(const std::function<void()>&) {
  throw StoreError(kProgramKey, "", kReadOnly);
}

std::string RunningFigures::line() const {
  return duration + " " + cost + (sign.empty() ? "" : " " + sign);
}

std::optional<LogTime> runningConnectionStart(std::string_view logTail) {
  // NUL bytes a power cut left at the end are no entry.
  constexpr std::string_view kBreaks("\r\n\0", 3);
  logTail = logTail.substr(0, logTail.find_last_not_of('\0') + 1);
  // The connect entry is written without a line end; the disconnect starts with one.
  const std::size_t lineStart = logTail.find_last_of(kBreaks);
  const std::string_view last =
      lineStart == std::string_view::npos ? logTail : logTail.substr(lineStart + 1);
  return connectEntryTime(last);
}

namespace {

struct DisplayOptions {
  std::int32_t extraSeconds = 0;
  std::int32_t freeSeconds = 0;
  std::int32_t unit = 0;
  std::string sign;
  std::string settled;
};

DisplayOptions readDisplayOptions(SettingsStore& store) {
  auto program = openKey(store, kProgramKey);
  DisplayOptions o;
  // Written at every start; a store no instance has set up yet adds nothing.
  if (program->ValueExists(options::kSecondsPlus.name)) {
    o.extraSeconds = read(*program, options::kSecondsPlus);
  }
  o.freeSeconds = read(*program, options::kZero);
  o.unit = read(*program, options::kCurrencyStatus);
  o.sign = read(*program, o.unit == 1 ? options::kCurrency : options::kCurrencySub);
  o.settled = read(*program, options::kSettledConnection);
  program->CloseKey();
  return o;
}

// The figures the metering would show for the connection: its duration and its cost over its
// weekday's tariffs.
RunningFigures meterFigures(SettingsStore& store, const Connection& connection,
                            const DisplayOptions& o) {
  const DayTariffs day = readDayTariffs(store, connection.weekday);
  CostOptions costOptions;
  costOptions.freeSeconds = std::clamp(o.freeSeconds, 0, kMaxFreeSeconds);
  costOptions.displayUnit = o.unit;
  const ConnectionCost cost = costOver(connection, day, costOptions);
  return {connection.seconds, formatDuration(connection.seconds), cost.displayText, o.sign};
}

}  // namespace

RunningFigures priceFromStart(const LogTime& start, SettingsStore& store, const LocalTime& now,
                              const UtcOffsetOf& utcOffset) {
  ReadOnlySettingsStore readOnly(store);
  const DisplayOptions o = readDisplayOptions(readOnly);

  LocalTime begin;
  begin.year = start.date.year;
  begin.month = start.date.month;
  begin.day = start.date.day;
  begin.hour = start.hour;
  begin.minute = start.minute;
  begin.second = start.second;
  const std::int64_t beginWall =
      daysFromCivil(start.date.year, start.date.month, start.date.day) * 86400 + start.hour * 3600 +
      start.minute * 60 + start.second;
  begin.weekday = static_cast<int>(((beginWall / 86400 + 4) % 7 + 7) % 7);  // 1970-01-01: Thu
  // The real time between the two local readings, the zone's offsets taken into account; the
  // start instant is put on the clock's own scale.
  LogTime nowAsLog;
  nowAsLog.date = {now.year, now.month, now.day};
  nowAsLog.hour = now.hour;
  nowAsLog.minute = now.minute;
  nowAsLog.second = now.second;
  const std::int64_t real = (wallSeconds(now) - utcOffset(nowAsLog).value_or(0)) -
                            (beginWall - utcOffset(start).value_or(0));
  begin.epochSeconds = now.epochSeconds - real;

  const std::int32_t extraSeconds = std::clamp(o.extraSeconds, 0, kMaxExtraSeconds);
  Connection connection = startedConnection(begin, extraSeconds);
  connection.seconds = durationAt(connection, now, extraSeconds);
  return meterFigures(readOnly, connection, o);
}

std::optional<RunningFigures> priceFromCrashFile(const DurationReading& crashFile,
                                                 SettingsStore& store, const LocalTime& now) {
  if (crashFile.status != DurationReading::Status::Read) return std::nullopt;
  const DurationRecord& record = crashFile.record;
  const std::int64_t age = wallSeconds(now) - tickSeconds(record);
  // A tick after now was written before the clock was set back: a running meter's next tick
  // would carry the clock's time again.
  if (age < 0 || age > kFreshCrashFileSeconds) return std::nullopt;

  ReadOnlySettingsStore readOnly(store);
  const DisplayOptions o = readDisplayOptions(readOnly);
  // Settled but not yet removed: the connection has ended.
  if (o.settled == connectionIdentity(record)) return std::nullopt;
  return meterFigures(
      readOnly,
      restoredConnection(record.startHour, record.startMinute, record.weekday, record.seconds), o);
}

}  // namespace pelmora
