#include "platform/DataFolder.h"

#include <cstdlib>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pelmora {

namespace {

std::filesystem::path environmentPath(const char* name) {
  const char* value = std::getenv(name);
  return (value != nullptr && *value != '\0') ? std::filesystem::path(value)
                                              : std::filesystem::path();
}

}  // namespace

DataFolder::DataFolder(std::filesystem::path root) : m_root(std::move(root)) {}

DataFolder DataFolder::fromEnvironment() {
  if (auto home = environmentPath("PELMORA_HOME"); !home.empty()) return DataFolder(home);
#ifdef _WIN32
  static wchar_t buffer[32768];
  const DWORD n = GetModuleFileNameW(nullptr, buffer, 32768);
  return DataFolder(std::filesystem::path(std::wstring(buffer, n)).parent_path());
#else
  if (auto data = environmentPath("XDG_DATA_HOME"); !data.empty()) {
    return DataFolder(data / "pelmora");
  }
  return DataFolder(environmentPath("HOME") / ".local" / "share" / "pelmora");
#endif
}

bool DataFolder::ensureExists() const {
  std::error_code ec;
  std::filesystem::create_directories(m_root, ec);
  return std::filesystem::is_directory(m_root, ec);
}

}  // namespace pelmora
