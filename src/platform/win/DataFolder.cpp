#include "platform/DataFolder.h"

#include <cstdlib>

#include <windows.h>

#include <shlobj.h>

#include "platform/DataPlaces.h"

namespace pelmora {

DataFolder DataFolder::fromEnvironment() {
  // The wide environment and module name keep every letter of a path, whatever the code page.
  const auto wideEnvironment = [](const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return (value != nullptr && *value != L'\0') ? std::filesystem::path(value)
                                                 : std::filesystem::path();
  };
  DataPlaces places;
  places.home = wideEnvironment(L"PELMORA_HOME");
  static wchar_t buffer[32768];
  const DWORD n = GetModuleFileNameW(nullptr, buffer, 32768);
  places.executableFolder = std::filesystem::path(std::wstring(buffer, n)).parent_path();
  places.localAppData = wideEnvironment(L"LOCALAPPDATA");
  if (places.localAppData.empty()) {
    PWSTR known = nullptr;
    if (SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known) == S_OK) {
      places.localAppData = std::filesystem::path(known);
    }
    CoTaskMemFree(known);
  }
  return DataFolder(chooseDataFolder(places));
}

std::error_code DataFolder::prepare() const {
  std::error_code ec;
  std::filesystem::create_directories(m_root, ec);
  if (std::filesystem::is_directory(m_root, ec)) return {};
  return ec ? ec : std::make_error_code(std::errc::not_a_directory);
}

}  // namespace pelmora
