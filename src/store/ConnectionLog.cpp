#include "store/ConnectionLog.h"

#include <algorithm>
#include <cstdio>
#include <utility>

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

bool ConnectionLog::endsWithSummary(const std::string& summaryLine) const {
  return endsWith(summaryLine + kLineEnd + kLineEnd);
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
  std::FILE* f = detail::openFile(m_path, "rb");
  if (f == nullptr) return false;
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
  std::string tail(bytes.size(), '\0');
  const long at = end - static_cast<long>(bytes.size());
  const bool read = !nulsOnly && at >= 0 && std::fseek(f, at, SEEK_SET) == 0 &&
                    std::fread(tail.data(), 1, tail.size(), f) == tail.size();
  std::fclose(f);
  return read && tail == bytes;
}

}  // namespace pelmora
