#include "history/HistoryTool.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string_view>

#include "history/ConnectionHistory.h"
#include "history/PeriodSummary.h"
#include "history/RunningStatus.h"
#include "history/ToolConsole.h"
#include "platform/PathText.h"
#include "platform/ProgramVersion.h"
#include "store/DurationFile.h"
#include "store/StoreError.h"
#include "store/TextFile.h"

namespace pelmora {

namespace {

constexpr const char* kName = "pelmora-history";

constexpr const char* kHelp =
    "Использование: pelmora-history [--json] [-d [N] | -m [N]] [--since ГГГГ-ММ-ДД]\n"
    "                               [--until ГГГГ-ММ-ДД] [ЖУРНАЛ | -]\n"
    "       pelmora-history --oneline [ЖУРНАЛ | -]\n"
    "       pelmora-history --status [--json]\n"
    "\n"
    "Выводит подключения из журнала Pelmora (ЖУРНАЛ, «-» — стандартный ввод; по умолчанию\n"
    "Internet.LOG в папке данных: %s) как CSV (RFC 4180) с заголовком\n"
    "  start,end,seconds,cost,unit,restored,cancelled\n"
    "или, с --json, по одному объекту JSON в строке. Время — местное, ISO 8601, со смещением\n"
    "от UTC (2026-12-08T10:00:00+03:00); стоимость — в малых единицах валюты, с точкой при\n"
    "любой локали (в JSON — число), единица «c» или «k»; чего журнал не сообщает, остаётся\n"
    "пустым (null). Строки, не являющиеся записями журнала, пропускаются, их число выводится\n"
    "в поток ошибок. Концы строк CR LF, LF и CR; журнал — обычный файл или стандартный ввод.\n"
    "\n"
    "  --json            JSON вместо CSV\n"
    "  -d, --days [N]    по строке на день: day,connections,seconds,cost; с N — только\n"
    "                    последние N дней с подключениями\n"
    "  -m, --months [N]  по строке на месяц: month,connections,seconds,cost; с N — только\n"
    "                    последние N месяцев\n"
    "                    (подключения считаются, как в статистике Pelmora, в день их\n"
    "                    окончания; восстановленное после сбоя добавляет время и стоимость,\n"
    "                    но не подключение); с --json — один документ JSON:\n"
    "                    {\"days\": [{\"day\", \"connections\", \"seconds\", \"cost\"}, ...]},\n"
    "                    для месяцев {\"months\": [{\"month\", ...}, ...]}\n"
    "  --since ДАТА      только подключения, начавшиеся (с -d или -m: закончившиеся) в ДАТУ\n"
    "                    или позже\n"
    "  --until ДАТА      ... в ДАТУ или раньше\n"
    "  --oneline         одна строка для панели, поля через «;»: 1 (версия формата); сегодня\n"
    "                    (ГГГГ-ММ-ДД); его подключения; секунды; время (ЧЧ:ММ:СС); стоимость;\n"
    "                    текущий месяц (ГГГГ-ММ); его подключения; секунды; время; стоимость\n"
    "  --status          одна строка для панели: время и стоимость идущего подключения, как\n"
    "                    их показывает Pelmora («00:12:00 0.75 $»), или ничего, если его нет\n"
    "  --status --json   один объект: {\"text\", \"class\" и \"state\" (connected, idle, off),\n"
    "                    \"seconds\", \"cost\", \"currency\"}\n"
    "  -V, --version     показать версию и выйти\n"
    "  -h, --help        показать эту справку и выйти\n"
    "\n"
    "Коды выхода: 0 — готово, 1 — журнал (для --status — настройки) не читается,\n"
    "2 — неверные аргументы. Файлы и настройки программы только читаются.\n";

enum class Summary { None, Days, Months };

struct Arguments {
  bool help = false;
  bool version = false;
  bool json = false;
  bool status = false;
  bool oneline = false;
  Summary summary = Summary::None;
  std::size_t rows = 0;  // the last rows of --days or --months; 0: all
  std::optional<CalendarDate> since;
  std::optional<CalendarDate> until;
  std::optional<std::string> log;  // "-": standard input
};

// -d, --days, -m, --months, with or without "=N".
std::optional<Summary> summaryOption(const std::string& arg) {
  const std::string name = arg.substr(0, arg.find('='));
  if (name == "-d" || name == "--days") return Summary::Days;
  if (name == "-m" || name == "--months") return Summary::Months;
  return std::nullopt;
}

// A number of rows: decimal digits only, at most nine.
bool parseRows(const std::string& text, std::size_t& rows) {
  if (text.empty() || text.size() > 9 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  rows = static_cast<std::size_t>(std::stoul(text));
  return true;
}

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
    } else if (arg == "--oneline") {
      a.oneline = true;
    } else if (const std::optional<Summary> summary = summaryOption(arg)) {
      if (a.summary != Summary::None && a.summary != *summary) {
        error = "--days and --months exclude each other";
        return std::nullopt;
      }
      a.summary = *summary;
      // A number after it, or after "=", limits the rows (a log named by digits alone: "./7").
      const std::size_t equals = arg.find('=');
      if (equals != std::string::npos) {
        if (!parseRows(arg.substr(equals + 1), a.rows)) {
          error = arg.substr(0, equals) + " wants a number of rows, not \"" +
                  arg.substr(equals + 1) + "\"";
          return std::nullopt;
        }
      } else if (i + 1 < list.size() && parseRows(list[i + 1], a.rows)) {
        ++i;
      }
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
  if (a.status && (a.summary != Summary::None || a.since || a.until || a.log || a.oneline)) {
    error = "--status takes no other argument but --json";
    return std::nullopt;
  }
  if (a.oneline && (a.summary != Summary::None || a.since || a.until || a.json)) {
    error = "--oneline takes no other argument but a log";
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
  const bool listing = a.summary == Summary::None && !a.oneline;
  const Period period = a.summary == Summary::Months ? Period::Month : Period::Day;
  const LocalTime now = context.clock.now();
  const CalendarDate today{now.year, now.month, now.day};
  std::map<std::string, PeriodSum> sums;
  PeriodSum todaySum;
  PeriodSum monthSum;
  if (listing && !a.json) context.out << csvHeader() << lineEnd;
  ConnectionLogReader reader([&](const LoggedConnection& c) {
    if (listing) {
      if ((a.since && c.start.date < *a.since) || (a.until && *a.until < c.start.date)) return;
      context.out << (a.json ? jsonLine(c, offset) : csvRow(c, offset)) << lineEnd;
      return;
    }
    const std::optional<CalendarDate> day = countedDay(c);
    if (!day) return;
    if (a.oneline) {
      if (*day == today) addTo(todaySum, c);
      if (day->year == today.year && day->month == today.month) addTo(monthSum, c);
      return;
    }
    if ((a.since && *day < *a.since) || (a.until && *a.until < *day)) return;
    addTo(sums[periodKey(*day, period)], c);
  });
  if (!readLogStream(in, reader)) {
    context.err << kName << ": cannot read " << (fromInput ? "standard input" : utf8Path(path))
                << '\n';
    return kHistoryUnreadable;
  }

  if (a.oneline) {
    context.out << oneLine(today, todaySum, monthSum) << lineEnd;
  } else if (a.summary != Summary::None) {
    writeSums(context.out, sums, period, a.json, a.rows, lineEnd);
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
    std::string help = kHelp;
    help.replace(help.find("%s"), 2, dataFolderHelp());
    context.out << help;
    return kHistoryOk;
  }
  if (a->version) {
    context.out << kName << ' ' << kVersionText << '\n';
    return kHistoryOk;
  }
  return a->status ? printStatus(*a, context) : printHistory(*a, context);
}

}  // namespace pelmora
