#include "history/ConnectionHistory.h"

#include <ctime>
#include <limits>
#include <vector>

#include "accounting/AmountText.h"
#include "store/TextFile.h"

namespace pelmora {

namespace {

constexpr std::string_view kRule = "==================================";
constexpr std::string_view kTitle = "Pelmora connections log";
constexpr std::string_view kSummaryLead = "         = ";
constexpr std::string_view kCostLead = " + [";
constexpr std::string_view kIgnoredTail = " - ";
constexpr std::string_view kUnknownDuration = "--:--:--";
constexpr std::string_view kMinutes = " мин.";

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// All digits (1 to maxDigits of them) within [0, high].
std::optional<std::int64_t> number(std::string_view text, std::size_t maxDigits,
                                   std::int64_t high) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  std::int64_t n = 0;
  for (char c : text) {
    if (!isDigit(c)) return std::nullopt;
    n = n * 10 + (c - '0');
  }
  if (n > high) return std::nullopt;
  return n;
}

bool isLeapYear(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

bool isRealDate(const CalendarDate& d) {
  static constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (d.year < 1 || d.month < 1 || d.month > 12 || d.day < 1) return false;
  return d.day <= kDaysInMonth[d.month - 1] + (d.month == 2 && isLeapYear(d.year) ? 1 : 0);
}

// "dd?mm?yyyy hh:mm:ss": the date separator is returned. The log's own stamps use a full stop;
// a restored disconnect has the date as the crash file stored it, with the locale's time
// separator (any character that is no digit and no blank, the same twice).
std::optional<LogTime> stamp(std::string_view text, char& separator) {
  if (text.size() != 19 || text[10] != ' ' || text[13] != ':' || text[16] != ':') {
    return std::nullopt;
  }
  separator = text[2];
  if (isDigit(separator) || static_cast<unsigned char>(separator) <= ' ' || text[5] != separator) {
    return std::nullopt;
  }
  const auto day = number(text.substr(0, 2), 2, 31);
  const auto month = number(text.substr(3, 2), 2, 12);
  const auto year = number(text.substr(6, 4), 4, 9999);
  const auto hour = number(text.substr(11, 2), 2, 23);
  const auto minute = number(text.substr(14, 2), 2, 59);
  const auto second = number(text.substr(17, 2), 2, 59);
  if (!day || !month || !year || !hour || !minute || !second) return std::nullopt;
  LogTime t;
  t.date = {static_cast<int>(*year), static_cast<int>(*month), static_cast<int>(*day)};
  if (!isRealDate(t.date)) return std::nullopt;
  t.hour = static_cast<int>(*hour);
  t.minute = static_cast<int>(*minute);
  t.second = static_cast<int>(*second);
  return t;
}

// The status window's duration text: "hh:mm:ss" (at least two digits of hours) or, rounded up
// to whole minutes, "N мин.".
std::optional<std::int64_t> durationSeconds(std::string_view text) {
  constexpr std::int64_t kLongest = std::numeric_limits<std::int32_t>::max();
  if (text.size() > kMinutes.size() && text.ends_with(kMinutes)) {
    const auto minutes = number(text.substr(0, text.size() - kMinutes.size()), 8, kLongest / 60);
    if (!minutes) return std::nullopt;
    return *minutes * 60;
  }
  const std::size_t colon = text.find(':');
  if (colon < 2 || colon == std::string_view::npos || text.size() != colon + 6 ||
      text[colon + 3] != ':') {
    return std::nullopt;
  }
  const auto hours = number(text.substr(0, colon), 6, kLongest / 3600);
  const auto minutes = number(text.substr(colon + 1, 2), 2, 59);
  const auto seconds = number(text.substr(colon + 4, 2), 2, 59);
  if (!hours || !minutes || !seconds) return std::nullopt;
  const std::int64_t total = *hours * 3600 + *minutes * 60 + *seconds;
  if (total > kLongest) return std::nullopt;
  return total;
}

// A cost text as the summary holds it: a stored amount cut to its first 8 characters. The cut
// may leave an exponent mark without its digits; the rest must still read as an amount.
bool isCostText(std::string_view text) {
  if (text.empty() || text.size() > 8 || text.find(' ') != std::string_view::npos) return false;
  std::string_view mantissa = text;
  for (std::string_view cut : {"E-", "E+", "E"}) {
    if (mantissa.ends_with(cut)) {
      mantissa.remove_suffix(cut.size());
      break;
    }
  }
  try {
    parseStoredAmount(mantissa);
    return true;
  } catch (const AmountError&) {
    return false;
  }
}

enum class Kind {
  Header,
  Empty,
  Connect,
  Disconnect,
  RestoredDisconnect,
  Cancel,
  Summary,
  Ignored,
  Foreign
};

struct Line {
  Kind kind = Kind::Foreign;
  LogTime time;
  std::optional<std::int64_t> seconds;
  std::string cost;
  char unit = 0;
};

Line classify(std::string_view text) {
  Line line;
  if (text.empty()) {
    line.kind = Kind::Empty;
    return line;
  }
  if (text == kRule || text == kTitle) {
    line.kind = Kind::Header;
    return line;
  }
  if (text.starts_with(kSummaryLead)) {
    const std::string_view rest = text.substr(kSummaryLead.size());
    const std::size_t costAt = rest.find(kCostLead);
    if (costAt != std::string_view::npos && rest.ends_with(']')) {
      const std::string_view bracket =
          rest.substr(costAt + kCostLead.size(), rest.size() - costAt - kCostLead.size() - 1);
      line.seconds = durationSeconds(rest.substr(0, costAt));
      if (line.seconds && bracket.size() >= 2 && (bracket.back() == 'c' || bracket.back() == 'k') &&
          isCostText(bracket.substr(0, bracket.size() - 1))) {
        line.kind = Kind::Summary;
        line.cost = std::string(bracket.substr(0, bracket.size() - 1));
        line.unit = bracket.back();
      }
      return line;
    }
    if (rest.ends_with(kIgnoredTail)) {
      const std::string_view duration = rest.substr(0, rest.size() - kIgnoredTail.size());
      if (duration == kUnknownDuration) {
        line.kind = Kind::Ignored;
      } else if ((line.seconds = durationSeconds(duration))) {
        line.kind = Kind::Ignored;
      }
    }
    return line;
  }
  char separator = 0;
  const auto time = stamp(text.substr(0, std::min<std::size_t>(text.size(), 19)), separator);
  if (!time) return line;
  line.time = *time;
  const std::string_view event = text.substr(19);
  const bool ownStamp = separator == '.';
  if (event == " - Connected" && ownStamp) {
    line.kind = Kind::Connect;
  } else if (event == " - DisConnected") {
    line.kind = ownStamp ? Kind::Disconnect : Kind::RestoredDisconnect;
  } else if (event == " - Canceled" && ownStamp) {
    line.kind = Kind::Cancel;
  }
  return line;
}

std::string padded(int n, std::size_t width) {
  std::string s = std::to_string(n);
  if (s.size() < width) s.insert(0, width - s.size(), '0');
  return s;
}

}  // namespace

std::string jsonString(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      out += "\\u00";
      out += kHex[u >> 4];
      out += kHex[u & 0xF];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

void ConnectionLogReader::finishConnection() {
  if (m_stage != Stage::None) m_sink(m_pending);
  m_pending = LoggedConnection{};
  m_stage = Stage::None;
}

void ConnectionLogReader::finish() {
  finishConnection();
}

void ConnectionLogReader::line(std::string_view text) {
  const Line line = classify(text);
  bool fits = true;
  switch (line.kind) {
    case Kind::Empty:
      break;
    case Kind::Header:
      finishConnection();
      break;
    case Kind::Connect:
      finishConnection();
      m_pending.start = line.time;
      m_stage = Stage::Open;
      break;
    case Kind::Disconnect:
      fits = m_stage == Stage::Open;
      if (fits) {
        m_pending.end = line.time;
        m_stage = Stage::Ended;
      }
      break;
    case Kind::RestoredDisconnect:
      // A crash after the disconnect entry but before the summary leaves both disconnects.
      fits = m_stage == Stage::Open || (m_stage == Stage::Ended && !m_pending.restored);
      if (fits) {
        m_pending.end = line.time;
        m_pending.restored = true;
        m_stage = Stage::Ended;
      }
      break;
    case Kind::Cancel:
      fits = m_stage == Stage::Open;
      if (fits) {
        m_pending.end = line.time;
        m_pending.cancelled = true;
        finishConnection();
      }
      break;
    case Kind::Summary:
      fits = m_stage == Stage::Ended;
      if (fits) {
        m_pending.seconds = line.seconds;
        m_pending.cost = line.cost;
        m_pending.unit = line.unit;
        finishConnection();
      }
      break;
    case Kind::Ignored:
      // Written only by the recovery after a crash: after the restored disconnect, or right
      // after the connect line when the crash file could not be read.
      fits = m_stage != Stage::None;
      if (fits) {
        m_pending.seconds = line.seconds;
        m_pending.restored = true;
        finishConnection();
      }
      break;
    case Kind::Foreign:
      fits = false;
      break;
  }
  if (!fits) ++m_skipped;
}

namespace {

// Cuts bytes into lines at CR LF, LF or a lone CR; a line is kept only up to kLongestLogLine
// bytes, so memory stays bounded whatever the input. A run of NUL bytes (an append a power cut
// left unwritten) ends the line before it and is no line of its own, so the entries around it
// are read.
class LineSplitter {
 public:
  explicit LineSplitter(const std::function<void(std::string_view)>& onLine) : m_onLine(onLine) {}

  void feed(std::string_view bytes) {
    for (char c : bytes) {
      if (c == '\n' && m_afterCarriageReturn) {
        m_afterCarriageReturn = false;
        continue;
      }
      m_afterCarriageReturn = c == '\r';
      if (c == '\r' || c == '\n') {
        emit();
      } else if (c == '\0') {
        if (!m_line.empty() || m_overlong) emit();
      } else if (m_line.size() < kLongestLogLine) {
        m_line += c;
      } else {
        m_overlong = true;
      }
    }
  }

  void end() {
    if (!m_line.empty() || m_overlong) emit();
  }

 private:
  void emit() {
    // An overlong line is no entry: it is handed on cut, and the reader counts it as foreign.
    m_onLine(m_line);
    m_line.clear();
    m_overlong = false;
  }

  const std::function<void(std::string_view)>& m_onLine;
  std::string m_line;
  bool m_afterCarriageReturn = false;
  bool m_overlong = false;
};

}  // namespace

bool readLogStream(std::istream& in, ConnectionLogReader& reader) {
  const std::function<void(std::string_view)> onLine = [&reader](std::string_view bytes) {
    reader.line(fromFileText(bytes));
  };
  LineSplitter splitter(onLine);
  std::vector<char> buffer(64 * 1024);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    splitter.feed(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())));
  }
  if (in.bad()) return false;
  splitter.end();
  reader.finish();
  return true;
}

ConnectionHistory readConnectionHistory(std::string_view logText) {
  ConnectionHistory history;
  ConnectionLogReader reader(
      [&history](const LoggedConnection& c) { history.connections.push_back(c); });
  const std::function<void(std::string_view)> onLine = [&reader](std::string_view text) {
    reader.line(text);
  };
  LineSplitter splitter(onLine);
  splitter.feed(logText);
  splitter.end();
  reader.finish();
  history.skippedLines = reader.skippedLines();
  return history;
}

std::optional<LogTime> connectEntryTime(std::string_view text) {
  const Line line = classify(text);
  if (line.kind != Kind::Connect) return std::nullopt;
  return line.time;
}

std::optional<CalendarDate> parseIsoDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const auto year = number(text.substr(0, 4), 4, 9999);
  const auto month = number(text.substr(5, 2), 2, 12);
  const auto day = number(text.substr(8, 2), 2, 31);
  if (!year || !month || !day) return std::nullopt;
  const CalendarDate date{static_cast<int>(*year), static_cast<int>(*month),
                          static_cast<int>(*day)};
  if (!isRealDate(date)) return std::nullopt;
  return date;
}

std::string isoTime(const LogTime& t, std::optional<int> utcOffsetSeconds) {
  std::string text = padded(t.date.year, 4) + "-" + padded(t.date.month, 2) + "-" +
                     padded(t.date.day, 2) + "T" + padded(t.hour, 2) + ":" + padded(t.minute, 2) +
                     ":" + padded(t.second, 2);
  if (utcOffsetSeconds) {
    const int offset = *utcOffsetSeconds;
    const int minutes = (offset < 0 ? -offset : offset) / 60;
    text += offset < 0 ? '-' : '+';
    text += padded(minutes / 60, 2);
    text += ':';
    text += padded(minutes % 60, 2);
  }
  return text;
}

std::optional<int> localUtcOffset(const LogTime& t) {
  std::tm tm{};
  tm.tm_year = t.date.year - 1900;
  tm.tm_mon = t.date.month - 1;
  tm.tm_mday = t.date.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;  // the zone's rules decide
  const std::time_t instant = std::mktime(&tm);
  if (instant == static_cast<std::time_t>(-1)) return std::nullopt;
  // mktime put the fields right for that instant; their distance from it is the offset.
  const std::int64_t wall = daysFromCivil(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday) * 86400 +
                            tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
  const std::int64_t offset = wall - static_cast<std::int64_t>(instant);
  if (offset < -24 * 3600 || offset > 24 * 3600) return std::nullopt;
  return static_cast<int>(offset);
}

std::string costNumber(std::string_view text) {
  for (std::string_view cut : {"E-", "E+", "E"}) {
    if (text.ends_with(cut)) {
      text.remove_suffix(cut.size());
      break;
    }
  }
  std::string number(text);
  for (char& c : number) {
    if (c == ',') c = '.';
  }
  return number;
}

std::string csvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string csvHeader() {
  return "start,end,seconds,cost,unit,restored,cancelled";
}

std::string csvRow(const LoggedConnection& c, const UtcOffsetOf& offset) {
  const std::string end = c.end ? isoTime(*c.end, offset(*c.end)) : std::string();
  const std::string seconds = c.seconds ? std::to_string(*c.seconds) : std::string();
  const std::string cost = c.unit != 0 ? costNumber(c.cost) : std::string();
  const std::string unit = c.unit != 0 ? std::string(1, c.unit) : std::string();
  return csvField(isoTime(c.start, offset(c.start))) + "," + csvField(end) + "," +
         csvField(seconds) + "," + csvField(cost) + "," + csvField(unit) + "," +
         (c.restored ? "1" : "0") + "," + (c.cancelled ? "1" : "0");
}

std::string jsonLine(const LoggedConnection& c, const UtcOffsetOf& offset) {
  const std::string null = "null";
  return "{\"start\":" + jsonString(isoTime(c.start, offset(c.start))) +
         ",\"end\":" + (c.end ? jsonString(isoTime(*c.end, offset(*c.end))) : null) +
         ",\"seconds\":" + (c.seconds ? std::to_string(*c.seconds) : null) +
         ",\"cost\":" + (c.unit != 0 ? costNumber(c.cost) : null) +
         ",\"unit\":" + (c.unit != 0 ? jsonString(std::string(1, c.unit)) : null) +
         ",\"restored\":" + (c.restored ? "true" : "false") +
         ",\"cancelled\":" + (c.cancelled ? "true" : "false") + "}";
}

}  // namespace pelmora
