#include "store/ConnectionLog.h"

#include <cstdio>
#include <utility>

namespace pelmora {

namespace {

constexpr const char* kLineEnd = "\r\n";

std::string twoDigits(int n) {
  std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

ConnectionLog::ConnectionLog(std::filesystem::path path) : m_path(std::move(path)) {}

std::string ConnectionLog::stamp(const LocalTime& t) {
  return twoDigits(t.day) + "." + twoDigits(t.month) + "." + std::to_string(t.year) + " " +
         twoDigits(t.hour) + ":" + twoDigits(t.minute) + ":" + twoDigits(t.second);
}

void ConnectionLog::appendCancel(const LocalTime& now) const {
  append(std::string(kLineEnd) + stamp(now) + " - Canceled" + kLineEnd + kLineEnd);
}

bool ConnectionLog::append(const std::string& text) const {
  std::FILE* f = std::fopen(m_path.c_str(), "ab");
  if (f == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && written;
}

}  // namespace pelmora
