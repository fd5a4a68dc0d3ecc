#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "accounting/Calendar.h"

namespace pelmora {

// A calendar date, compared in calendar order.
struct CalendarDate {
  int year = 1970;
  int month = 1;
  int day = 1;

  auto operator<=>(const CalendarDate&) const = default;
};

// A local date and time as the connection log writes it.
struct LogTime {
  CalendarDate date;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// One connection of Internet.LOG as its entries tell it. Nothing is filled in that the log does
// not say: a figure the log lacks stays empty.
struct LoggedConnection {
  LogTime start;
  // The disconnect, restored disconnect or cancel stamp; none while the connection runs, when a
  // crash left no end, or when the crash file could not be read.
  std::optional<LogTime> end;
  // The duration of the summary or ignored entry (the extra seconds included; whole minutes
  // when the connection was rounded up); none after a cancel or without such an entry.
  std::optional<std::int64_t> seconds;
  // The cost text of the summary entry as written (minor units, at most 8 characters, either
  // decimal separator) and its unit letter 'c' or 'k'; empty and 0 when it was not counted.
  std::string cost;
  char unit = 0;
  bool restored = false;   // cut by a crash and restored at the next start
  bool cancelled = false;  // the program was quit while it ran
};

struct ConnectionHistory {
  std::vector<LoggedConnection> connections;  // in log order
  std::size_t skippedLines = 0;               // damaged, foreign or out-of-place lines
};

// The connection log read one line at a time: each connection is handed on as soon as its last
// entry is read, so a log of any length is read in the memory of one connection. The header,
// empty lines and the entries the program writes are taken; every other line, and an entry that
// belongs to no connection (a disconnect without its connect, a second summary), is skipped and
// counted.
class ConnectionLogReader {
 public:
  using Sink = std::function<void(const LoggedConnection&)>;
  explicit ConnectionLogReader(Sink sink) : m_sink(std::move(sink)) {}

  // One line of program text (UTF-8) without its line end.
  void line(std::string_view text);
  // The end of the log: a connection still open is handed on as it stands.
  void finish();
  std::size_t skippedLines() const { return m_skipped; }

 private:
  enum class Stage { None, Open, Ended };
  void finishConnection();

  Sink m_sink;
  LoggedConnection m_pending;
  Stage m_stage = Stage::None;
  std::size_t m_skipped = 0;
};

// Lines longer than this are no entry of the log; only this much of one is kept.
inline constexpr std::size_t kLongestLogLine = 4096;

// Reads the log's bytes from the stream in pieces and hands the reader each line as program
// text: CR LF, LF and CR alone all end a line. False when the stream failed before its end.
bool readLogStream(std::istream& in, ConnectionLogReader& reader);

// The whole log at once (program text): the connections and the number of skipped lines.
ConnectionHistory readConnectionHistory(std::string_view logText);

// The time of a connect entry (" - Connected" after the log's own stamp); nothing for any other
// line.
std::optional<LogTime> connectEntryTime(std::string_view line);

// "YYYY-MM-DD" of a real calendar date; nothing for anything else.
std::optional<CalendarDate> parseIsoDate(std::string_view text);
// "YYYY-MM-DDThh:mm:ss" followed by the UTC offset ("+03:00", "-05:30") when it is known.
std::string isoTime(const LogTime& time, std::optional<int> utcOffsetSeconds = std::nullopt);

// The local time zone's offset from UTC, in seconds east, at a local date and time (the
// system's zone rules, as the program's own clock reads them); nothing when it cannot tell.
std::optional<int> localUtcOffset(const LogTime& time);
// The offsets the output uses: the local zone's, or a test's fixed one.
using UtcOffsetOf = std::function<std::optional<int>(const LogTime&)>;

// A cost text of the log as a number for programs: the full stop as the decimal separator, an
// exponent cut away by the log's 8 characters dropped ("1,75" -> "1.75", "1.2E" -> "1.2").
std::string costNumber(std::string_view costText);

// A JSON string of the text: quotation marks, backslashes and control characters escaped.
std::string jsonString(std::string_view text);

// One CSV field (RFC 4180): quoted, with its quotation marks doubled, when it holds a comma, a
// quotation mark, a carriage return or a line feed; else as it is.
std::string csvField(std::string_view text);
// The header and the row of one connection, without the line end. Flags are "1" or "0";
// missing figures are empty fields.
std::string csvHeader();
std::string csvRow(const LoggedConnection& connection, const UtcOffsetOf& offset);
// One JSON object on one line, without the line end; missing figures are null, figures are
// JSON numbers.
std::string jsonLine(const LoggedConnection& connection, const UtcOffsetOf& offset);

}  // namespace pelmora
