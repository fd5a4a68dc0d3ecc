#include "platform/DataFolder.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <windows.h>

#include <shlobj.h>

#include "platform/DataPlaces.h"

namespace pelmora {

namespace {

// The folders of an older installation whose logs the user's data folder takes over at its
// first start (prepare).
std::vector<std::filesystem::path> g_olderFolders;

// Where an older installation ran: the program of its autostart value under the machine's Run
// key (as a 32-bit and as a 64-bit program sees it), and first Windows' VirtualStore copy of that
// folder, where the writes of an older program run without administrator rights went.
std::vector<std::filesystem::path> olderInstallationFolders(
    const std::filesystem::path& localAppData) {
  std::vector<std::filesystem::path> folders;
  for (const REGSAM view : {REGSAM{KEY_WOW64_32KEY}, REGSAM{KEY_WOW64_64KEY}}) {
    HKEY run = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                      KEY_READ | view, &run) != ERROR_SUCCESS) {
      continue;
    }
    for (DWORD i = 0;; ++i) {
      wchar_t name[256];
      DWORD nameSize = 256;
      wchar_t data[2048] = {};
      DWORD dataSize = sizeof data - sizeof(wchar_t);
      DWORD type = 0;
      const LONG rc = RegEnumValueW(run, i, name, &nameSize, nullptr, &type,
                                    reinterpret_cast<BYTE*>(data), &dataSize);
      if (rc == ERROR_NO_MORE_ITEMS) break;
      if (rc != ERROR_SUCCESS || type != REG_SZ || std::wstring(name).rfind(L"Pelmora v", 0) != 0) {
        continue;
      }
      std::wstring program(data);
      if (!program.empty() && program.front() == L'"') {
        program = program.substr(1, program.find(L'"', 1) - 1);
      }
      const std::filesystem::path folder = std::filesystem::path(program).parent_path();
      if (folder.empty()) continue;
      folders.push_back(localAppData / L"VirtualStore" / folder.relative_path());
      folders.push_back(folder);
    }
    RegCloseKey(run);
  }
  return folders;
}

}  // namespace

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
  const std::filesystem::path chosen = chooseDataFolder(places);
  if (chosen == places.localAppData / "Pelmora") {
    g_olderFolders = olderInstallationFolders(places.localAppData);
  }
  return DataFolder(chosen);
}

std::error_code DataFolder::prepare() const {
  std::error_code ec;
  std::filesystem::create_directories(m_root, ec);
  if (std::filesystem::is_directory(m_root, ec)) {
    adoptOlderLogs(m_root, g_olderFolders);
    return {};
  }
  return ec ? ec : std::make_error_code(std::errc::not_a_directory);
}

}  // namespace pelmora
