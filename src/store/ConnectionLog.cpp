#include "store/ConnectionLog.h"

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
  append(kLineEnd + stamp(now) + " - DisConnected" + kLineEnd);
}

void ConnectionLog::appendSummary(const std::string& summaryLine) const {
  append(summaryLine + kLineEnd + kLineEnd);
}

void ConnectionLog::appendCancel(const LocalTime& now) const {
  append(kLineEnd + stamp(now) + " - Canceled" + kLineEnd + kLineEnd);
}

void ConnectionLog::appendRestoredDisconnect(const DurationRecord& stored) const {
  append(kLineEnd + stored.date + " " + stored.hour + ":" + stored.minute + ":" + stored.second +
         " - DisConnected" + kLineEnd);
}

void ConnectionLog::appendIgnored(const std::string& durationText) const {
  append("         = " + durationText + " - " + kLineEnd + kLineEnd);
}

void ConnectionLog::appendLineEnd() const {
  append(kLineEnd);
}

bool ConnectionLog::erase() const {
  return replaceFile(m_path, header());
}

void ConnectionLog::append(const std::string& text) const {
  appendToFile(m_path, toFileText(text));
}

}  // namespace pelmora
