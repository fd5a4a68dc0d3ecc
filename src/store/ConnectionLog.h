#pragma once

#include <filesystem>
#include <string>

#include "platform/Clock.h"

namespace pelmora {

// Internet.LOG, the journal of every connection the user reads in a text editor. Each entry is
// appended at the end and the file is closed again; a write that fails loses the entry and
// nothing else.
class ConnectionLog {
 public:
  explicit ConnectionLog(std::filesystem::path path);

  // A line end closing the connect line, the stamp and " - Canceled", then an empty line.
  void appendCancel(const LocalTime& now) const;

  const std::filesystem::path& path() const { return m_path; }

  // "dd.mm.yyyy hh:nn:ss", the stamp of every entry.
  static std::string stamp(const LocalTime& t);

 private:
  bool append(const std::string& text) const;

  std::filesystem::path m_path;
};

}  // namespace pelmora
