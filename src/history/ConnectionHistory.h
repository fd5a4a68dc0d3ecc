#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Reads the connection log (program text: UTF-8, CR LF or LF line ends). The header, empty lines
// and the entries the program writes are taken; every other line, and an entry that belongs to
// no connection (a disconnect without its connect, a second summary), is skipped and counted.
ConnectionHistory readConnectionHistory(std::string_view logText);

// "YYYY-MM-DD" of a real calendar date; nothing for anything else.
std::optional<CalendarDate> parseIsoDate(std::string_view text);
// "YYYY-MM-DDThh:mm:ss", local time without a zone.
std::string isoTime(const LogTime& time);

// One CSV field (RFC 4180): quoted, with its quotation marks doubled, when it holds a comma, a
// quotation mark, a carriage return or a line feed; else as it is.
std::string csvField(std::string_view text);
// The header and the row of one connection, without the line end. Flags are "1" or "0";
// missing figures are empty fields.
std::string csvHeader();
std::string csvRow(const LoggedConnection& connection);
// One JSON object on one line, without the line end; missing figures are null.
std::string jsonLine(const LoggedConnection& connection);

}  // namespace pelmora
