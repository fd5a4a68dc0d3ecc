#include "history/HistoryTool.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>

#include "history/ConnectionHistory.h"
#include "history/RunningStatus.h"
#include "platform/PathText.h"
#include "store/DurationFile.h"
#include "store/StoreError.h"
#include "store/TextFile.h"

namespace pelmora {

namespace {

constexpr const char* kName = "pelmora-history";

constexpr const char* kHelp =
    "Usage: pelmora-history [--json] [--since YYYY-MM-DD] [--until YYYY-MM-DD] [LOG]\n"
    "       pelmora-history --status\n"
    "\n"
    "Writes the connections of Pelmora's connection log (LOG, by default Internet.LOG in the\n"
    "data folder: $PELMORA_HOME, else $XDG_DATA_HOME/pelmora, else ~/.local/share/pelmora)\n"
    "as CSV (RFC 4180, CR LF line ends) with the header\n"
    "  start,end,seconds,cost,unit,restored,cancelled\n"
    "or, with --json, as one JSON object a line. Times are local, YYYY-MM-DDThh:mm:ss; cost is\n"
    "the text of the log (minor units, either decimal separator), unit 'c' or 'k'; figures the\n"
    "log does not give are empty (null). Lines that are no entry of the log are skipped and\n"
    "counted on standard error.\n"
    "\n"
    "  --json          JSON lines instead of CSV\n"
    "  --since DATE    only connections that started on DATE or later\n"
    "  --until DATE    only connections that started on DATE or earlier\n"
    "  --status        one line for a status bar: the running connection's time and cost\n"
    "                  (\"00:12:00 0.75 $\"), or nothing when no connection runs\n"
    "  --help          this text\n"
    "\n"
    "Exit codes: 0 done, 1 the log (or for --status the settings) cannot be read,\n"
    "2 bad arguments. The program's files and settings are only read.\n";

struct Arguments {
  bool help = false;
  bool json = false;
  bool status = false;
  std::optional<CalendarDate> since;
  std::optional<CalendarDate> until;
  std::optional<std::filesystem::path> log;
};

// The arguments, or the reason they are wrong.
std::optional<Arguments> parseArguments(const std::vector<std::string>& list, std::string& error) {
  Arguments a;
  bool optionsEnd = false;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::string& arg = list[i];
    if (optionsEnd || arg.empty() || arg[0] != '-' || arg == "-") {
      if (a.log) {
        error = "more than one log given";
        return std::nullopt;
      }
      a.log = pathFromUtf8(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "--help" || arg == "-h") {
      a.help = true;
    } else if (arg == "--json") {
      a.json = true;
    } else if (arg == "--status") {
      a.status = true;
    } else if (arg.starts_with("--since") || arg.starts_with("--until")) {
      const std::string option = arg.substr(0, 7);
      std::string value;
      if (arg.size() == 7) {
        if (i + 1 == list.size()) {
          error = option + " needs a date";
          return std::nullopt;
        }
        value = list[++i];
      } else if (arg[7] == '=') {
        value = arg.substr(8);
      } else {
        error = "unknown option " + arg;
        return std::nullopt;
      }
      const std::optional<CalendarDate> date = parseIsoDate(value);
      if (!date) {
        error = option + " wants a date as YYYY-MM-DD, not \"" + value + "\"";
        return std::nullopt;
      }
      (option == "--since" ? a.since : a.until) = date;
    } else {
      error = "unknown option " + arg;
      return std::nullopt;
    }
  }
  if (a.status && (a.json || a.since || a.until || a.log)) {
    error = "--status takes no other argument";
    return std::nullopt;
  }
  return a;
}

int printStatus(const HistoryToolContext& context) {
  const DurationReading reading = DurationFile(context.folder.durationFile()).read();
  // Idle: the store is not even opened.
  if (reading.status != DurationReading::Status::Read) return kHistoryOk;
  try {
    const std::unique_ptr<SettingsStore> store = context.openStore();
    const std::optional<std::string> line = runningStatusLine(reading, *store, context.clock.now());
    if (line) context.out << *line << '\n';
  } catch (const StoreError& error) {
    context.err << kName << ": cannot read the settings: " << error.what() << '\n';
    return kHistoryUnreadable;
  }
  return kHistoryOk;
}

int printHistory(const Arguments& a, const HistoryToolContext& context) {
  const std::filesystem::path path = a.log ? *a.log : context.folder.connectionLog();
  std::error_code ec;
  std::ifstream in;
  if (!std::filesystem::is_directory(path, ec)) in.open(path, std::ios::binary);
  std::ostringstream bytes;
  if (in.is_open()) bytes << in.rdbuf();
  if (!in.is_open() || in.bad()) {
    context.err << kName << ": cannot read " << utf8Path(path) << '\n';
    return kHistoryUnreadable;
  }

  const ConnectionHistory history = readConnectionHistory(fromFileText(bytes.str()));
  if (!a.json) context.out << csvHeader() << "\r\n";
  for (const LoggedConnection& c : history.connections) {
    if ((a.since && c.start.date < *a.since) || (a.until && *a.until < c.start.date)) continue;
    if (a.json) {
      context.out << jsonLine(c) << '\n';
    } else {
      context.out << csvRow(c) << "\r\n";
    }
  }
  if (history.skippedLines > 0) {
    context.err << kName << ": skipped " << history.skippedLines << " lines\n";
  }
  return kHistoryOk;
}

}  // namespace

int runHistoryTool(const std::vector<std::string>& arguments, const HistoryToolContext& context) {
  std::string error;
  const std::optional<Arguments> a = parseArguments(arguments, error);
  if (!a) {
    context.err << kName << ": " << error << "\nTry '" << kName << " --help'.\n";
    return kHistoryBadArguments;
  }
  if (a->help) {
    context.out << kHelp;
    return kHistoryOk;
  }
  return a->status ? printStatus(context) : printHistory(*a, context);
}

}  // namespace pelmora
