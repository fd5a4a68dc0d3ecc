// pelmora-history: the connection log for scripts, and the running connection for a status bar.

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <locale>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "history/HistoryTool.h"
#include "history/RunningInstance.h"
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

// The program's own store, only read. On Linux a database that is missing or empty is not opened
// at all, and the file is opened read-only: no journal mode, no tables, no companion files.
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
  return std::make_unique<SqliteSettingsStore>(database, AutostartFolder::defaultFolder(),
                                               SqliteSettingsStore::Access::ReadOnly);
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
#ifdef _WIN32
  // The line ends are the tool's own; the runtime must not add a carriage return, nor take one
  // away from a log read from standard input.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
  const std::string lineEnd = "\r\n";
#else
  const std::string lineEnd = "\n";
#endif
  // Output for programs: the C++ streams are never tied to a locale or to C's stdio.
  std::ios::sync_with_stdio(false);
  std::cout.imbue(std::locale::classic());
  const SystemClock clock;
  const DataFolder folder = DataFolder::fromEnvironment();
  const HistoryToolContext context{std::cin,
                                   std::cout,
                                   std::cerr,
                                   lineEnd,
                                   folder,
                                   clock,
                                   localUtcOffset,
                                   [&folder] { return pelmoraRunning(folder); },
                                   [&folder] { return openStore(folder); }};
  const int code = runHistoryTool(arguments(argc, argv), context);
  std::cout.flush();
  return code;
}
