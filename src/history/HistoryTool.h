#pragma once

#include <functional>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "history/ConnectionHistory.h"
#include "platform/Clock.h"
#include "platform/DataFolder.h"
#include "store/SettingsStore.h"

namespace pelmora {

inline constexpr int kHistoryOk = 0;
inline constexpr int kHistoryUnreadable = 1;  // the log, or for --status the settings store
inline constexpr int kHistoryBadArguments = 2;

// What pelmora-history works with: its standard streams, the line end of its CSV, the program's
// data folder, the clock and the local zone's offsets, whether Pelmora runs, and the program's
// settings store, opened read-only and only when a running connection is priced.
struct HistoryToolContext {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  std::string lineEnd;  // of CSV lines: LF, CR LF on Windows
  DataFolder folder;
  const Clock& clock;
  UtcOffsetOf utcOffset;
  std::function<bool()> pelmoraRunning;
  std::function<std::unique_ptr<SettingsStore>()> openStore;
};

// Runs the tool on its arguments (without the program name); returns the exit code. Reads the
// program's files and store and writes none of them.
int runHistoryTool(const std::vector<std::string>& arguments, const HistoryToolContext& context);

}  // namespace pelmora
