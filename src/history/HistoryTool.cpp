#include "history/HistoryTool.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string_view>

#include "accounting/AmountText.h"

#include "history/ConnectionHistory.h"
#include "history/RunningStatus.h"
#include "platform/PathText.h"
#include "platform/ProgramVersion.h"
#include "store/DurationFile.h"
#include "store/StoreError.h"
#include "store/TextFile.h"

namespace pelmora {

namespace {

constexpr const char* kName = "pelmora-history";

constexpr const char* kHelp =
    "Usage: pelmora-history [--json] [--days | --months] [--since YYYY-MM-DD]\n"
    "                       [--until YYYY-MM-DD] [LOG | -]\n"
    "       pelmora-history --status [--json]\n"
    "\n"
    "Writes the connections of Pelmora's connection log (LOG, '-' for standard input, by default\n"
    "Internet.LOG in the data folder: $PELMORA_HOME, else $XDG_DATA_HOME/pelmora, else\n"
    "~/.local/share/pelmora) as CSV (RFC 4180) with the header\n"
    "  start,end,seconds,cost,unit,restored,cancelled\n"
    "or, with --json, as one JSON object a line. Times are ISO 8601 local times with their UTC\n"
    "offset (2026-12-08T10:00:00+03:00); cost is in minor units with a full stop whatever the\n"
    "locale (a JSON number), unit 'c' or 'k'; figures the log does not give are empty (null).\n"
    "Lines that are no entry of the log are skipped and counted on standard error. CR LF, LF\n"
    "and CR line ends are read; the log must be a regular file or standard input.\n"
    "\n"
    "  --json          JSON lines instead of CSV\n"
    "  --days          one row per day: day,connections,seconds,cost\n"
    "  --months        one row per month: month,connections,seconds,cost\n"
    "                  (as Pelmora's statistics count them, by the day they ended; one\n"
    "                  restored after a crash adds its time and cost, not a connection)\n"
    "  --since DATE    only connections that started (with --days or --months: ended) on DATE\n"
    "                  or later\n"
    "  --until DATE    ... on DATE or earlier\n"
    "  --status        one line for a status bar: the running connection's time and cost as\n"
    "                  Pelmora shows them (\"00:12:00 0.75 $\"), nothing when none runs\n"
    "  --status --json one object: {\"text\", \"class\" and \"state\" (connected, idle, off),\n"
    "                  \"seconds\", \"cost\", \"currency\"}\n"
    "  --version       the version\n"
    "  --help          this text\n"
    "\n"
    "Exit codes: 0 done, 1 the log (or for --status the settings) cannot be read,\n"
    "2 bad arguments. The program's files and settings are only read.\n";

enum class Summary { None, Days, Months };

struct Arguments {
  bool help = false;
  bool version = false;
  bool json = false;
  bool status = false;
  Summary summary = Summary::None;
  std::optional<CalendarDate> since;
  std::optional<CalendarDate> until;
  std::optional<std::string> log;  // "-": standard input
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
      a.log = arg;
      continue;
    }
    if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "--help" || arg == "-h") {
      a.help = true;
    } else if (arg == "--version" || arg == "-V") {
      a.version = true;
    } else if (arg == "--json") {
      a.json = true;
    } else if (arg == "--status") {
      a.status = true;
    } else if (arg == "--days" || arg == "--months") {
      const Summary summary = arg == "--days" ? Summary::Days : Summary::Months;
      if (a.summary != Summary::None && a.summary != summary) {
        error = "--days and --months exclude each other";
        return std::nullopt;
      }
      a.summary = summary;
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
  if (a.status && (a.summary != Summary::None || a.since || a.until || a.log)) {
    error = "--status takes no other argument but --json";
    return std::nullopt;
  }
  return a;
}

// The last bytes of the connection log: enough for its last entries.
std::string logTail(const std::filesystem::path& path) {
  constexpr std::streamoff kTail = 512;
  std::ifstream in;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return {};
  in.open(path, std::ios::binary);
  if (!in.is_open()) return {};
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size <= 0) return {};
  in.seekg(size > kTail ? size - kTail : 0);
  std::string bytes(static_cast<std::size_t>(size > kTail ? kTail : size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return fromFileText(bytes);
}

std::string jsonStatus(const char* state, const std::optional<RunningFigures>& figures) {
  const std::string null = "null";
  const std::string text = figures ? figures->line() : std::string();
  return std::string("{\"text\":") + jsonString(text) + ",\"class\":\"" + state +
         "\",\"state\":\"" + state +
         "\",\"seconds\":" + (figures ? std::to_string(figures->seconds) : null) +
         ",\"cost\":" + (figures ? costNumber(figures->cost) : null) +
         ",\"currency\":" + (figures ? jsonString(figures->sign) : null) + "}";
}

int printStatus(const Arguments& a, const HistoryToolContext& context) {
  std::optional<RunningFigures> figures;
  const char* state = "off";
  if (context.pelmoraRunning()) {
    state = "idle";
    const LocalTime now = context.clock.now();
    const std::optional<LogTime> start =
        runningConnectionStart(logTail(context.folder.connectionLog()));
    const DurationReading crashFile =
        start ? DurationReading{} : DurationFile(context.folder.durationFile()).read();
    // Idle: the store is not even opened.
    if (start || crashFile.status == DurationReading::Status::Read) {
      try {
        const std::unique_ptr<SettingsStore> store = context.openStore();
        figures = start ? priceFromStart(*start, *store, now, context.utcOffset)
                        : priceFromCrashFile(crashFile, *store, now);
      } catch (const StoreError& error) {
        context.err << kName << ": cannot read the settings: " << error.what() << '\n';
        return kHistoryUnreadable;
      }
      if (figures) state = "connected";
    }
  }
  if (a.json) {
    context.out << jsonStatus(state, figures) << '\n';
  } else if (figures) {
    context.out << figures->line() << '\n';
  }
  return kHistoryOk;
}

// The counted connections of one day or month.
struct PeriodSum {
  std::int64_t connections = 0;
  std::int64_t seconds = 0;
  long double cost = 0;
};

std::string periodKey(const CalendarDate& d, Summary summary) {
  LogTime t;
  t.date = d;
  const std::string day = isoTime(t).substr(0, 10);
  return summary == Summary::Days ? day : day.substr(0, 7);
}

int printHistory(const Arguments& a, const HistoryToolContext& context) {
  const std::string lineEnd = a.json ? std::string("\n") : context.lineEnd;
  const bool fromInput = a.log && *a.log == "-";
  const std::filesystem::path path =
      a.log && !fromInput ? pathFromUtf8(*a.log) : context.folder.connectionLog();
  std::ifstream file;
  if (!fromInput) {
    // A device or a pipe in the log's place is refused: /dev/zero never ends, and a pipe
    // nobody writes to would keep the tool waiting for ever.
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::is_regular_file(status)) {
      context.err << kName << ": cannot read " << utf8Path(path)
                  << (std::filesystem::exists(status) ? ": not a regular file" : ": no such file")
                  << '\n';
      return kHistoryUnreadable;
    }
    file.open(path, std::ios::binary);
    if (!file.is_open()) {
      context.err << kName << ": cannot read " << utf8Path(path) << '\n';
      return kHistoryUnreadable;
    }
  }
  std::istream& in = fromInput ? context.in : file;

  // The zone's rules are asked once an hour of the log: each question reads the system's zone.
  std::map<std::int64_t, std::optional<int>> offsets;
  const UtcOffsetOf offset = [&](const LogTime& t) {
    const std::int64_t hour =
        ((std::int64_t{t.date.year} * 16 + t.date.month) * 32 + t.date.day) * 24 + t.hour;
    if (const auto known = offsets.find(hour); known != offsets.end()) return known->second;
    if (offsets.size() > 4096) offsets.clear();
    return offsets[hour] = context.utcOffset(t);
  };
  std::map<std::string, PeriodSum> sums;
  if (a.summary == Summary::None && !a.json) context.out << csvHeader() << lineEnd;
  ConnectionLogReader reader([&](const LoggedConnection& c) {
    if (a.summary == Summary::None) {
      if ((a.since && c.start.date < *a.since) || (a.until && *a.until < c.start.date)) return;
      context.out << (a.json ? jsonLine(c, offset) : csvRow(c, offset)) << lineEnd;
      return;
    }
    // Only a summary entry counts a connection, on the day it was settled.
    if (c.unit == 0 || !c.seconds) return;
    const CalendarDate day = c.end ? c.end->date : c.start.date;
    if ((a.since && day < *a.since) || (a.until && *a.until < day)) return;
    PeriodSum& sum = sums[periodKey(day, a.summary)];
    // A connection restored after a crash adds its time and cost but is no connection more,
    // as in the program's statistics.
    if (!c.restored) ++sum.connections;
    sum.seconds += *c.seconds;
    try {
      sum.cost += parseStoredAmount(costNumber(c.cost));
    } catch (const AmountError&) {
      // The reader took only cost texts that read as amounts.
    }
  });
  if (!readLogStream(in, reader)) {
    context.err << kName << ": cannot read " << (fromInput ? "standard input" : utf8Path(path))
                << '\n';
    return kHistoryUnreadable;
  }

  if (a.summary != Summary::None) {
    const char* period = a.summary == Summary::Days ? "day" : "month";
    if (!a.json) context.out << period << ",connections,seconds,cost" << lineEnd;
    for (const auto& [key, sum] : sums) {
      const std::string cost = formatAmount(sum.cost, '.');
      if (a.json) {
        context.out << "{\"" << period << "\":\"" << key << "\",\"connections\":" << sum.connections
                    << ",\"seconds\":" << sum.seconds << ",\"cost\":" << cost << "}" << lineEnd;
      } else {
        context.out << key << ',' << sum.connections << ',' << sum.seconds << ',' << cost
                    << lineEnd;
      }
    }
  }
  if (reader.skippedLines() > 0) {
    context.err << kName << ": skipped " << reader.skippedLines() << " lines\n";
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
  if (a->version) {
    context.out << kName << ' ' << kVersionText << '\n';
    return kHistoryOk;
  }
  return a->status ? printStatus(*a, context) : printHistory(*a, context);
}

}  // namespace pelmora
