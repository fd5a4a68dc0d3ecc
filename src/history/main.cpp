// pelmora-history: the connection log for scripts, and the running connection for a status bar.

#include <iostream>
#include <locale>
#include <string>

#include "history/HistoryTool.h"
#include "history/RunningInstance.h"
#include "history/ToolConsole.h"
#include "platform/DataFolder.h"
#include "platform/SystemClock.h"
#include "store/SettingsStoreFactory.h"

using namespace pelmora;

int main(int argc, char* argv[]) {
  // Output for programs: the C++ streams are never tied to a locale or to C's stdio.
  std::ios::sync_with_stdio(false);
  const std::string lineEnd = prepareStandardStreams();
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
                                   [&folder] { return openSettingsStoreToRead(folder); }};
  const int code = runHistoryTool(toolArguments(argc, argv), context);
  std::cout.flush();
  return code;
}
