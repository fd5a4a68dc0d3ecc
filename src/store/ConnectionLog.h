#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/Clock.h"

namespace pelmora {

struct DurationRecord;

// Internet.LOG, the journal of every connection the user reads in a text editor: a header of
// three lines, then entries appended at the end. Each entry is appended and the file closed
// again; a write that fails loses the entry and nothing else.
//
// A normal connection leaves its connect line, its disconnect line, its summary line and an
// empty line. The connect entry leaves its line open; the entry that follows closes it.
class ConnectionLog {
 public:
  explicit ConnectionLog(std::filesystem::path path);

  // Writes the header when the log cannot be opened for reading; an existing log is left as it
  // is, whatever it holds. True when the header was written.
  bool createHeaderIfMissing() const;
  // The stamp and " - Connected", without a line end.
  void appendConnect(const LocalTime& now) const;
  // A line end closing the connect line, the stamp and " - DisConnected", a line end.
  void appendDisconnect(const LocalTime& now) const;
  // The summary line of a counted connection, as the settlement builds it (summaryLineText),
  // then a line end and an empty line. False when it could not be written.
  bool appendSummary(const std::string& summaryLine) const;
  // True when the last entry is a connect line still open: a run ended before anything closed it.
  bool endsInsideConnectEntry() const;
  // A line end closing the connect line, the stamp and " - Canceled", then an empty line.
  void appendCancel(const LocalTime& now) const;
  // After a crash: a line end closing the connect line, then the date and time of the last
  // protector tick as Duration.tmp holds them ("dd:mm:yyyy hh:mm:ss") and " - DisConnected",
  // a line end. Not again when the log already ends with it (a start that died at its
  // question wrote it).
  void appendRestoredDisconnect(const DurationRecord& stored) const;
  // True when the log holds the disconnect line a live disconnect wrote at the moment the record
  // was saved: the connection ended normally, only its settlement did not follow.
  bool holdsDisconnectOf(const DurationRecord& stored) const;
  // The disconnect a live run logged after the record was saved (its final write at the
  // disconnect failed, on a full disk): the log ends with the connect line of the record's
  // start and a disconnect at or after the record's time.
  struct LaterDisconnect {
    std::string entry;              // as disconnectEntry(LocalTime) writes it
    std::int32_t secondsAfter = 0;  // from the record's time to the disconnect
  };
  std::optional<LaterDisconnect> laterDisconnectOf(const DurationRecord& stored) const;
  // Puts the summary entry (appendSummary's) directly after the connection's disconnect entry
  // (disconnectEntry), also when later connections were logged meanwhile; at the end when the
  // log ends with that entry, or when it is empty or not in the log (a connect line left open is
  // closed first). Nothing when the entry already follows it. False when it could not be
  // written.
  bool placeSummary(const std::string& summaryLine, const std::string& disconnectEntry) const;
  // The disconnect entry a live disconnect writes at `now` (appendDisconnect), and the one it
  // wrote at the time a record was saved.
  static std::string disconnectEntry(const LocalTime& now);
  static std::string disconnectEntry(const DurationRecord& stored);
  // A connection not counted: nine blanks, "= ", the duration text, " - ", then an empty line.
  void appendIgnored(const std::string& durationText) const;
  // A line end alone: closes a connect line that no other entry will close. False when it could
  // not be written.
  bool appendLineEnd() const;
  // Replaces the whole log with the header alone. False when it could not be written.
  bool erase() const;

  const std::filesystem::path& path() const { return m_path; }

  // The three header lines with their line ends.
  static std::string header();
  // "dd.mm.yyyy hh:nn:ss", the stamp of every entry.
  static std::string stamp(const LocalTime& t);

 private:
  bool append(const std::string& text) const;
  bool endsWith(const std::string& text) const;
  // The last bytes of the file before the NUL bytes a power cut may have left at its end (fewer
  // when the file is shorter).
  std::string tail(std::size_t size) const;
  std::string content() const;

  std::filesystem::path m_path;
};

}  // namespace pelmora
