#include "store/DurationFile.h"

#include <cstdio>
#include <limits>
#include <system_error>
#include <utility>

#include "store/TextFile.h"

namespace pelmora {

namespace {

std::string twoDigits(int n) {
  const std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

std::string fourDigits(int n) {
  std::string s = std::to_string(n);
  while (s.size() < 4) s.insert(s.begin(), '0');
  return s;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// A run of 1..maxDigits decimal digits and nothing else, within [low, high].
bool readNumber(std::string_view text, std::size_t maxDigits, std::int64_t low, std::int64_t high,
                std::int64_t& value) {
  if (text.empty() || text.size() > maxDigits) return false;
  std::int64_t n = 0;
  for (char c : text) {
    if (!isDigit(c)) return false;
    n = n * 10 + (c - '0');
  }
  if (n < low || n > high) return false;
  value = n;
  return true;
}

// Exactly two digits within [0, high]: one field of "hh mm ss".
bool isTwoDigitField(std::string_view text, int high) {
  std::int64_t ignored = 0;
  return text.size() == 2 && readNumber(text, 2, 0, high, ignored);
}

bool isLeapYear(std::int64_t y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

// "dd:mm:yyyy": the separator may be any single character that is no digit and no blank (the
// locale may have changed since it was written), the same in both places.
bool isDateText(std::string_view text) {
  if (text.size() != 10) return false;
  const char separator = text[2];
  if (isDigit(separator) || static_cast<unsigned char>(separator) <= ' ' || text[5] != separator) {
    return false;
  }
  std::int64_t day = 0;
  std::int64_t month = 0;
  std::int64_t year = 0;
  if (!readNumber(text.substr(0, 2), 2, 1, 31, day) ||
      !readNumber(text.substr(3, 2), 2, 1, 12, month) ||
      !readNumber(text.substr(6, 4), 4, 1, 9999, year)) {
    return false;
  }
  static constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const std::int64_t last = kDaysInMonth[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
  return day <= last;
}

// 0 = Sunday ... 6 = Saturday of a calendar date (days from civil, 1970-01-01 a Thursday).
int weekdayOf(std::int64_t year, std::int64_t month, std::int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yoe = year - era * 400;
  const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const std::int64_t days = era * 146097 + doe - 719468;
  return static_cast<int>(((days % 7) + 11) % 7);
}

// The most seconds a connection can show at a tick: the wall-clock time from its start minute
// to the tick (taken within one week), the start second it does not record, the extra seconds
// and an hour that a change to daylight saving time adds.
std::int64_t longestPossible(const std::int64_t start[3], std::string_view tick[3],
                             std::string_view date) {
  constexpr std::int64_t kDay = 24 * 3600;
  constexpr std::int64_t kSlack = 59 + 100 + 3600;
  std::int64_t t[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) readNumber(tick[i], 2, 0, 59, t[i]);
  std::int64_t day = 0, month = 0, year = 0;
  readNumber(date.substr(0, 2), 2, 1, 31, day);
  readNumber(date.substr(3, 2), 2, 1, 12, month);
  readNumber(date.substr(6, 4), 4, 1, 9999, year);
  const std::int64_t days = (weekdayOf(year, month, day) - start[2] + 7) % 7;
  std::int64_t elapsed =
      days * kDay + (t[0] * 3600 + t[1] * 60 + t[2]) - (start[0] * 3600 + start[1] * 60);
  if (elapsed < 0) elapsed += 7 * kDay;
  return elapsed + kSlack;
}

// Splits at single blanks; false when there are not exactly `count` fields.
template <std::size_t count>
bool splitFields(std::string_view line, std::string_view (&fields)[count]) {
  std::size_t begin = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t end = i + 1 < count ? line.find(' ', begin) : line.size();
    if (end == std::string_view::npos) return false;
    fields[i] = line.substr(begin, end - begin);
    begin = end + 1;
  }
  return true;
}

// Takes one line off the front of the text: up to "\r\n" or "\n". False when there is none.
bool takeLine(std::string_view& text, std::string_view& line) {
  const std::size_t feed = text.find('\n');
  if (feed == std::string_view::npos) return false;
  line = text.substr(0, feed);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  text.remove_prefix(feed + 1);
  return true;
}

}  // namespace

std::string connectionIdentity(const DurationRecord& r) {
  return std::to_string(r.seconds) + " " + std::to_string(r.startHour) + " " +
         std::to_string(r.startMinute) + " " + std::to_string(r.weekday) + " " + r.hour + " " +
         r.minute + " " + r.second + " " + r.date;
}

DurationFile::DurationFile(std::filesystem::path path, char timeSeparator)
    : m_path(std::move(path)), m_timeSeparator(timeSeparator) {}

std::string DurationFile::text(std::int32_t seconds, int startHour, int startMinute, int weekday,
                               const LocalTime& now, char timeSeparator) {
  const std::string blank = " ";
  return std::to_string(seconds) + blank + std::to_string(startHour) + blank +
         std::to_string(startMinute) + blank + std::to_string(weekday) + blank +
         twoDigits(now.hour) + blank + twoDigits(now.minute) + blank + twoDigits(now.second) +
         kLineEnd + twoDigits(now.day) + timeSeparator + twoDigits(now.month) + timeSeparator +
         fourDigits(now.year);
}

bool DurationFile::write(std::int32_t seconds, int startHour, int startMinute, int weekday,
                         const LocalTime& now) const {
  return replaceFile(m_path, text(seconds, startHour, startMinute, weekday, now, m_timeSeparator));
}

DurationReading DurationFile::parse(std::string_view content) {
  DurationReading damaged;
  damaged.status = DurationReading::Status::Damaged;
  if (content.size() > kLongestContent) return damaged;

  std::string_view first;
  if (!takeLine(content, first)) return damaged;
  std::string_view second = content;
  if (std::string_view last; takeLine(content, last)) {
    if (!content.empty()) return damaged;  // a third line
    second = last;
  }

  std::string_view fields[7];
  if (!splitFields(first, fields)) return damaged;
  std::int64_t seconds = 0;
  std::int64_t hour = 0;
  std::int64_t minute = 0;
  std::int64_t weekday = 0;
  if (!readNumber(fields[0], 10, 0, std::numeric_limits<std::int32_t>::max(), seconds) ||
      !readNumber(fields[1], 2, 0, 23, hour) || !readNumber(fields[2], 2, 0, 59, minute) ||
      !readNumber(fields[3], 1, 0, 6, weekday) || !isTwoDigitField(fields[4], 23) ||
      !isTwoDigitField(fields[5], 59) || !isTwoDigitField(fields[6], 59) || !isDateText(second)) {
    return damaged;
  }
  const std::int64_t start[3] = {hour, minute, weekday};
  std::string_view tick[3] = {fields[4], fields[5], fields[6]};
  if (seconds > longestPossible(start, tick, second)) return damaged;

  DurationReading reading;
  reading.status = DurationReading::Status::Read;
  reading.record.seconds = static_cast<std::int32_t>(seconds);
  reading.record.startHour = static_cast<int>(hour);
  reading.record.startMinute = static_cast<int>(minute);
  reading.record.weekday = static_cast<int>(weekday);
  reading.record.hour = std::string(fields[4]);
  reading.record.minute = std::string(fields[5]);
  reading.record.second = std::string(fields[6]);
  reading.record.date = std::string(second);
  return reading;
}

DurationReading DurationFile::read() const {
  if (!canOpenForReading(m_path)) return {};
  std::FILE* f = detail::openFile(m_path, "rb");
  if (f == nullptr) return {};
  // One byte more than the longest content tells an overlong file from a full one.
  char buffer[kLongestContent + 1];
  const std::size_t n = std::fread(buffer, 1, sizeof buffer, f);
  std::fclose(f);
  return parse(std::string_view(buffer, n));
}

bool DurationFile::moveTo(const DurationFile& other) const {
  return canOpenForReading(m_path) && detail::moveOver(m_path, other.m_path);
}

std::error_code DurationFile::remove() const {
  const std::error_code ec = removeFile(m_path);
  std::error_code ignored;
  std::filesystem::remove(replacementPath(m_path), ignored);
  return ec;
}

}  // namespace pelmora
