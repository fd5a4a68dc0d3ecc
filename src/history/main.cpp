// pelmora-history: the connection log for scripts, and the running connection for a status bar.

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "history/HistoryTool.h"
#include "platform/DataFolder.h"
#include "platform/SystemClock.h"
#include "store/StoreError.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

#include "platform/win/WideText.h"
#include "store/win/RegistrySettingsStore.h"
#else
#include "store/linux/AutostartFolder.h"
#include "store/linux/SqliteSettingsStore.h"
#endif

using namespace pelmora;

namespace {

// The arguments as UTF-8: on Windows from the wide command line, which keeps every letter of a
// path.
std::vector<std::string> arguments(int argc, char* argv[]) {
  std::vector<std::string> list;
#ifdef _WIN32
  (void)argc;
  (void)argv;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; wide != nullptr && i < count; ++i) list.push_back(narrow(wide[i]));
  LocalFree(wide);
#else
  for (int i = 1; i < argc; ++i) list.emplace_back(argv[i]);
#endif
  return list;
}

// The program's own store. On Linux a database that is missing or empty is not opened at all:
// opening would create it.
std::unique_ptr<SettingsStore> openStore(const DataFolder& folder) {
#ifdef _WIN32
  (void)folder;
  return std::make_unique<RegistrySettingsStore>();
#else
  const std::filesystem::path database = folder.settingsDatabase();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(database, ec) ||
      std::filesystem::file_size(database, ec) == 0 || ec) {
    throw StoreError(database.string(), "", "Базы настроек нет.");
  }
  return std::make_unique<SqliteSettingsStore>(database, AutostartFolder::defaultFolder());
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
#ifdef _WIN32
  // CSV wants CR LF exactly; the runtime must not add a carriage return of its own.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  const SystemClock clock;
  const DataFolder folder = DataFolder::fromEnvironment();
  const HistoryToolContext context{std::cout, std::cerr, folder, clock,
                                   [&folder] { return openStore(folder); }};
  const int code = runHistoryTool(arguments(argc, argv), context);
  std::cout.flush();
  return code;
}
