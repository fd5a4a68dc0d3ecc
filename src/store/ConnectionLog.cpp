#include "store/ConnectionLog.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "accounting/Calendar.h"
#include "store/DurationFile.h"
#include "store/TextFile.h"

namespace pelmora {

namespace {

std::string twoDigits(int n) {
  std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

const std::string kRule(34, '=');

}  // namespace

ConnectionLog::ConnectionLog(std::filesystem::path path) : m_path(std::move(path)) {}

std::string ConnectionLog::header() {
  return kRule + kLineEnd + "Pelmora connections log" + kLineEnd + kRule + kLineEnd;
}

std::string ConnectionLog::stamp(const LocalTime& t) {
  return twoDigits(t.day) + "." + twoDigits(t.month) + "." + std::to_string(t.year) + " " +
         twoDigits(t.hour) + ":" + twoDigits(t.minute) + ":" + twoDigits(t.second);
}

bool ConnectionLog::createHeaderIfMissing() const {
  if (canOpenForReading(m_path)) return false;
  return replaceFile(m_path, header());
}

void ConnectionLog::appendConnect(const LocalTime& now) const {
  append(stamp(now) + " - Connected");
}

void ConnectionLog::appendDisconnect(const LocalTime& now) const {
  append(disconnectEntry(now));
}

std::string ConnectionLog::disconnectEntry(const LocalTime& now) {
  return kLineEnd + stamp(now) + " - DisConnected" + kLineEnd;
}

bool ConnectionLog::appendSummary(const std::string& summaryLine) const {
  return append(summaryLine + kLineEnd + kLineEnd);
}

void ConnectionLog::appendCancel(const LocalTime& now) const {
  append(kLineEnd + stamp(now) + " - Canceled" + kLineEnd + kLineEnd);
}

void ConnectionLog::appendRestoredDisconnect(const DurationRecord& stored) const {
  const std::string entry = kLineEnd + stored.date + " " + stored.hour + ":" + stored.minute + ":" +
                            stored.second + " - DisConnected" + kLineEnd;
  if (!endsWith(entry)) append(entry);
}

std::string ConnectionLog::disconnectEntry(const DurationRecord& stored) {
  // The record's date carries the time separator; the log's stamp has full stops.
  std::string date = stored.date;
  if (date.size() == 10) date[2] = date[5] = '.';
  return kLineEnd + date + " " + stored.hour + ":" + stored.minute + ":" + stored.second +
         " - DisConnected" + kLineEnd;
}

bool ConnectionLog::holdsDisconnectOf(const DurationRecord& stored) const {
  return content().find(toFileText(disconnectEntry(stored))) != std::string::npos;
}

bool ConnectionLog::placeSummary(const std::string& summaryLine,
                                 const std::string& disconnectEntry) const {
  const std::string entry = summaryLine + kLineEnd + kLineEnd;
  if (endsWith(entry)) return true;
  if (!disconnectEntry.empty() && !endsWith(disconnectEntry)) {
    // Later connections were logged while this one waited: the entry goes where it belongs, and
    // the log is replaced whole, so a crash leaves it before or after, never torn.
    std::string log = content();
    const std::string after = toFileText(disconnectEntry);
    const std::size_t at = log.rfind(after);
    if (at != std::string::npos) {
      const std::size_t end = at + after.size();
      const std::string bytes = toFileText(entry);
      if (log.compare(end, bytes.size(), bytes) == 0) return true;
      log.insert(end, bytes);
      return replaceFile(m_path, log);
    }
  }
  // The disconnect line a full disk refused leaves the connect line open.
  if (endsInsideConnectEntry() && !appendLineEnd()) return false;
  return append(entry);
}

bool ConnectionLog::endsInsideConnectEntry() const {
  return endsWith(" - Connected");
}

void ConnectionLog::appendIgnored(const std::string& durationText) const {
  append("         = " + durationText + " - " + kLineEnd + kLineEnd);
}

bool ConnectionLog::appendLineEnd() const {
  return append(kLineEnd);
}

bool ConnectionLog::erase() const {
  return replaceFile(m_path, header());
}

bool ConnectionLog::append(const std::string& text) const {
  return appendToFile(m_path, toFileText(text));
}

std::string ConnectionLog::content() const {
  std::string bytes;
  std::FILE* f = detail::openFile(m_path, "rb");
  if (f == nullptr) return bytes;
  char buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
  std::fclose(f);
  return bytes;
}

bool ConnectionLog::endsWith(const std::string& text) const {
  const std::string bytes = toFileText(text);
  return tail(bytes.size()) == bytes;
}

std::string ConnectionLog::tail(std::size_t size) const {
  std::FILE* f = detail::openFile(m_path, "rb");
  if (f == nullptr) return {};
  // NUL bytes a power cut left where an append was are not the log's end: the end is the last
  // byte that was written.
  long end = std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1;
  char block[4096];
  bool nulsOnly = true;
  while (end > 0 && nulsOnly) {
    const long start = std::max(0L, end - static_cast<long>(sizeof block));
    const std::size_t n = static_cast<std::size_t>(end - start);
    if (std::fseek(f, start, SEEK_SET) != 0 || std::fread(block, 1, n, f) != n) break;
    std::size_t kept = n;
    while (kept > 0 && block[kept - 1] == '\0') --kept;
    end = start + static_cast<long>(kept);
    nulsOnly = kept == 0;
  }
  const long at = std::max(0L, end - static_cast<long>(size));
  std::string bytes(static_cast<std::size_t>(std::max(0L, end - at)), '\0');
  const bool read = !nulsOnly && std::fseek(f, at, SEEK_SET) == 0 &&
                    std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
  std::fclose(f);
  return read ? bytes : std::string();
}

namespace {

// Seconds since 1970 of a "dd?mm?yyyy" date and its time, any separators; nothing when a field
// is no number.
std::optional<std::int64_t> secondsOf(const std::string& date, const std::string& hour,
                                      const std::string& minute, const std::string& second) {
  const auto number = [](const std::string& digits) -> std::optional<int> {
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) {
      return std::nullopt;
    }
    return std::stoi(digits);
  };
  if (date.size() != 10) return std::nullopt;
  const auto d = number(date.substr(0, 2));
  const auto m = number(date.substr(3, 2));
  const auto y = number(date.substr(6, 4));
  const auto hh = number(hour);
  const auto mm = number(minute);
  const auto ss = number(second);
  if (!d || !m || !y || !hh || !mm || !ss) return std::nullopt;
  return daysFromCivil(*y, *m, *d) * 86400 + *hh * 3600 + *mm * 60 + *ss;
}

// The seconds of a log stamp "dd.mm.yyyy hh:nn:ss".
std::optional<std::int64_t> stampSeconds(const std::string& stamp) {
  if (stamp.size() != 19) return std::nullopt;
  return secondsOf(stamp.substr(0, 10), stamp.substr(11, 2), stamp.substr(14, 2),
                   stamp.substr(17, 2));
}

}  // namespace

std::optional<ConnectionLog::LaterDisconnect> ConnectionLog::laterDisconnectOf(
    const DurationRecord& stored) const {
  // The connect entry, the line end that closes it and the disconnect entry, each stamp of
  // 19 characters.
  const std::string connected = " - Connected";
  const std::string disconnected = " - DisConnected";
  const std::size_t stampSize = 19;
  const std::string end = kLineEnd;
  const std::size_t size = 2 * stampSize + connected.size() + disconnected.size() + 2 * end.size();
  const std::string bytes = fromFileText(tail(size));
  if (bytes.size() != size) return std::nullopt;
  const std::string connectStamp = bytes.substr(0, stampSize);
  std::size_t at = stampSize;
  if (bytes.compare(at, connected.size() + end.size(), connected + end) != 0) return std::nullopt;
  at += connected.size() + end.size();
  const std::string disconnectStamp = bytes.substr(at, stampSize);
  if (bytes.compare(at + stampSize, disconnected.size() + end.size(), disconnected + end) != 0) {
    return std::nullopt;
  }
  // The connect line is this connection's: its hour and minute are the record's start.
  const auto twoDigitsAt = [&connectStamp](std::size_t i) {
    return connectStamp.substr(i, 2).find_first_not_of("0123456789") == std::string::npos
               ? std::stoi(connectStamp.substr(i, 2))
               : -1;
  };
  if (twoDigitsAt(11) != stored.startHour || twoDigitsAt(14) != stored.startMinute) {
    return std::nullopt;
  }
  // A live disconnect's date has full stops; the restored one a start wrote for this record
  // (its own date and time) is no disconnect the program saw.
  if (disconnectStamp[2] != '.' || disconnectStamp[5] != '.' ||
      disconnectStamp ==
          stored.date + " " + stored.hour + ":" + stored.minute + ":" + stored.second) {
    return std::nullopt;
  }
  const auto saved = secondsOf(stored.date, stored.hour, stored.minute, stored.second);
  const auto started = stampSeconds(connectStamp);
  const auto ended = stampSeconds(disconnectStamp);
  if (!saved || !started || !ended || *ended < *saved || *saved < *started) return std::nullopt;
  return LaterDisconnect{end + disconnectStamp + disconnected + end,
                         static_cast<std::int32_t>(*ended - *saved)};
}

}  // namespace pelmora
