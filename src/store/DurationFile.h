#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/Clock.h"

namespace pelmora {

// What Duration.tmp holds: the running connection as the last protector tick saw it.
struct DurationRecord {
  std::int32_t seconds = 0;  // the connection's duration so far, SecondsPlus included
  int startHour = 0;         // 0..23
  int startMinute = 0;       // 0..59
  int weekday = 0;           // of the start, 0 = Sunday ... 6 = Saturday
  std::string hour;          // the time of the tick, two digits each, as stored
  std::string minute;
  std::string second;
  std::string date;  // the date of the tick, "dd:mm:yyyy" with the time separator, as stored
};

// The record in one line: which connection it is. Two ticks never give the same text, so a
// settlement can note it and a later start can tell whether the file on disk is that one.
std::string connectionIdentity(const DurationRecord& record);

// The outcome of reading Duration.tmp.
struct DurationReading {
  enum class Status {
    Missing,  // no file: the last run ended normally
    Damaged,  // a field missing, malformed or out of range: nothing in it can be trusted
    Read,     // every field present and in range
  };
  Status status = Status::Missing;
  DurationRecord record;  // meaningful only when Read
};

// Duration.tmp, the crash-protection file. While a connection is metered it is rewritten every
// five seconds; finding it at start means the last run ended in the middle of a connection.
//
// Line 1: duration, start hour, start minute, start weekday, then the time of the tick as
// "hh mm ss", separated by single blanks. Line 2: the date of the tick, "dd:mm:yyyy", with no
// line end after it.
class DurationFile {
 public:
  // The separator is the locale's time separator, written between day, month and year.
  explicit DurationFile(std::filesystem::path path, char timeSeparator = ':');

  // Replaces the file with the two lines for a connection at `now`. The replacement is atomic:
  // a crash leaves the previous complete file. False when it could not be written (silently
  // lost: the connection is then not recoverable).
  bool write(std::int32_t seconds, int startHour, int startMinute, int weekday,
             const LocalTime& now) const;
  // Reads and checks every field.
  DurationReading read() const;
  // Deletes the file durably, and a temporary one a crash during a rewrite may have left; a
  // missing file is no error. The system's reason when the file is still there.
  std::error_code remove() const;

  // Renames the file over `other`'s in one step. False when it could not be moved.
  bool moveTo(const DurationFile& other) const;

  const std::filesystem::path& path() const { return m_path; }

  // The file's content for a connection at `now`.
  static std::string text(std::int32_t seconds, int startHour, int startMinute, int weekday,
                          const LocalTime& now, char timeSeparator);
  // Checks a content as read from the file. The blank and line-end layout must be the writer's
  // (a bare line feed is taken for CR LF, a trailing line end after the date is tolerated);
  // every number must be in range and the date a real calendar date, and the duration no longer
  // than the time from the start (weekday, hour and minute) to the tick, within a week, plus
  // the extra seconds, the unknown start second and an hour of daylight saving.
  static DurationReading parse(std::string_view content);

  // Longer contents are damaged: the writer never comes near it.
  static constexpr std::size_t kLongestContent = 128;

 private:
  std::filesystem::path m_path;
  char m_timeSeparator;
};

}  // namespace pelmora
