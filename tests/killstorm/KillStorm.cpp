// The kill storm: round after round, in one data folder, a connection on a fake PPP link and a
// program that dies by SIGKILL somewhere on its way (at a failpoint of the disconnect, of the
// crash recovery at start or of the start that finishes the files of a connection already
// settled, or at a random instant), then starts with the link down until one start completes.
// Checks that the round's connection was counted at most once, exactly once when the crash file
// or the settlement survived the kill, and that the counters, the balance and its file agree.
//
//   killstorm [--rounds N] [--seed S] [--program PATH] [--keep]
//
// Rounds with a full disk (every write of the text files refused while a flag file exists) and,
// where the storm may mount (as root), with the data folder turned read-only under the running
// program (a read-only bind mount): after the space or the folder comes back, every connection
// is counted once and Account.LOG equals Account without the account question.
//
// Prints a line per round and "N passed, M failed"; exits 1 when a round failed. The data folder
// is kept (and named) when a round failed or with --keep.

#include <sqlite3.h>
#include <stdlib.h>
#include <sys/mount.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "accounting/AmountText.h"
#include "store/StoreKeys.h"
#include "support/ProgramProcess.h"
#include "support/TemporaryFolder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using pelmora::testing::fileContent;
using pelmora::testing::offscreenEnvironment;
using pelmora::testing::ProgramProcess;
using pelmora::testing::sleepFor;
using pelmora::testing::waitUntil;

constexpr const char* kRunningLine = "pelmora-failpoints: running";
constexpr const char* kCrashQuestion = "Аварийное восстановление... | ";
constexpr const char* kCrashQuestionText = "программа запомнила длительность";
constexpr const char* kAccountQuestion = "Ассинхронизация...";
// What a run says when its files cannot be written: a connection not protected, a settled one's
// file steps left for later.
constexpr const char* kUnprotected = "Текущее соединение НЕ защищено";
constexpr const char* kUnfinished = "Соединение засчитано, но не удалось записать файл";

// The boxes that follow the account question; the question itself is the fault reported.
bool isAccountQuestionSequel(const std::string& box) {
  for (const char* title : {"Восстановить из файла? | ", "Ок! | ", "Не забудьте! | "}) {
    if (box.rfind(title, 0) == 0) return true;
  }
  return false;
}

// Float rounding of a few hundred settlements moves the balance by far less than this; the
// cheapest connection (6 s at 20 c. an hour) moves it by 3.3e-4.
constexpr long double kBalanceTolerance = 1e-4L;

const std::vector<std::string> kDisconnectPoints = {
    "disconnect:committed", "disconnect:account-log", "disconnect:summary", "disconnect:deleted"};
const std::vector<std::string> kRecoveryPoints = {"recovery:restored-line", "recovery:committed",
                                                  "recovery:account-log",   "recovery:summary",
                                                  "recovery:deleted",       "replace-file:written"};
// A start that finds the crash file of a connection already settled finishes its file steps.
const std::vector<std::string> kFinishPoints = {"finish:account-log", "finish:summary",
                                                "finish:deleted", "replace-file:written"};

std::chrono::milliseconds seconds(double s) {
  return std::chrono::milliseconds(static_cast<long>(s * 1000));
}

double secondsSince(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

std::string fixed1(double v) {
  std::ostringstream s;
  s.setf(std::ios::fixed);
  s.precision(1);
  s << v;
  return s.str();
}

// ---- the sandbox: data folder, fake sysfs tree, the program's runs -------------------------

struct Run {
  std::unique_ptr<ProgramProcess> process;
  std::size_t boxesSeen = 0;
};

class Sandbox {
 public:
  explicit Sandbox(fs::path program) : m_program(std::move(program)) {
    std::string pattern = (fs::temp_directory_path() / "pelmora-killstorm-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_root = pattern;
    fs::create_directories(m_root / "logs");
    m_environment = offscreenEnvironment(home(), m_root);
  }

  const fs::path& root() const { return m_root; }
  fs::path home() const { return m_root / "home"; }
  fs::path file(const std::string& name) const { return home() / name; }
  // While this file exists the runs' text file writes fail as on a full disk.
  fs::path fullDiskFlag() const { return m_root / "full-disk"; }
  void setDiskFull(bool full) const {
    if (full) {
      std::ofstream(fullDiskFlag()) << "full\n";
    } else {
      fs::remove(fullDiskFlag());
    }
  }
  // A read-only bind mount of the data folder over itself: new files and renames fail, what the
  // running program holds open stays writable. False where the storm may not mount.
  bool setFolderReadOnly(bool readOnly) {
    const std::string path = home().string();
    const char* folder = path.c_str();
    if (!readOnly) {
      if (m_readOnly) ::umount(folder);
      m_readOnly = false;
      return true;
    }
    if (::mount(folder, folder, nullptr, MS_BIND, nullptr) != 0) return false;
    if (::mount(nullptr, folder, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
      ::umount(folder);
      return false;
    }
    m_readOnly = true;
    return true;
  }

  void setLink(bool up) const {
    const fs::path dir = m_root / "sys" / "class" / "net" / "ppp0";
    fs::create_directories(dir);
    std::ofstream(dir / "type") << "512\n";
    std::ofstream(dir / "flags") << (up ? "0x10d1\n" : "0x1090\n");
  }

  Run start(const std::string& answers, const std::string& failpoint, const fs::path& trace) {
    const fs::path err = m_root / "logs" / ("run-" + std::to_string(++m_runs) + ".txt");
    return Run{std::make_unique<ProgramProcess>(m_program, std::vector<std::string>{},
                                                environment(answers, failpoint, trace), err)};
  }

 private:
  // The program's environment with the answers and the failpoint of one run.
  std::map<std::string, std::string> environment(const std::string& answers,
                                                 const std::string& failpoint,
                                                 const fs::path& trace) const {
    auto run = m_environment;
    run["PELMORA_ANSWERS"] = answers;
    run["PELMORA_FAILPOINT"] = failpoint;
    run["PELMORA_FAILPOINT_TRACE"] = trace.string();
    run["PELMORA_FULL_DISK"] = fullDiskFlag().string();
    return run;
  }

  fs::path m_program;
  fs::path m_root;
  std::map<std::string, std::string> m_environment;
  bool m_readOnly = false;

  int m_runs = 0;
};

// Waits until the run has completed its start (true) or died or hung (false).
bool waitForStart(Run& run, std::chrono::milliseconds timeout = 20s) {
  waitUntil(
      [&] {
        return !run.process->running() ||
               run.process->errorOutput().find(kRunningLine) != std::string::npos;
      },
      timeout);
  return run.process->running() &&
         run.process->errorOutput().find(kRunningLine) != std::string::npos;
}

// The message boxes the run showed since the last call.
std::vector<std::string> newBoxes(Run& run) {
  std::istringstream in(run.process->messageBoxes());
  std::vector<std::string> boxes;
  for (std::string line; std::getline(in, line);) boxes.push_back(line);
  std::vector<std::string> fresh(boxes.begin() + static_cast<long>(run.boxesSeen), boxes.end());
  run.boxesSeen = boxes.size();
  return fresh;
}

// ---- what the files and the store say ----------------------------------------------------

struct LogCount {
  int counted = 0;           // summary lines "= hh:mm:ss + [cost]"
  int ignored = 0;           // "= hh:mm:ss - " or "= --:--:-- - "
  std::int64_t seconds = 0;  // the durations of the counted ones
};

LogCount countSummaries(const std::string& log) {
  static const std::regex counted("^         = (\\d\\d):(\\d\\d):(\\d\\d) \\+ \\[.*\\]\r?$");
  static const std::regex ignored("^         = .* - \r?$");
  LogCount c;
  std::istringstream in(log);
  std::smatch m;
  for (std::string line; std::getline(in, line);) {
    if (std::regex_match(line, m, counted)) {
      ++c.counted;
      c.seconds += std::stoll(m[1]) * 3600 + std::stoll(m[2]) * 60 + std::stoll(m[3]);
    } else if (std::regex_match(line, ignored)) {
      ++c.ignored;
    }
  }
  return c;
}

struct Totals {
  std::int64_t secondsT = 0;
  std::int64_t numberT = 0;
  std::string centsT;
  std::string account;
  std::string integrity;
};

class Database {
 public:
  explicit Database(const fs::path& file) {
    if (sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
      throw std::runtime_error("cannot open " + file.string());
    }
    sqlite3_busy_timeout(m_db, 5000);
  }
  ~Database() { sqlite3_close(m_db); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // The program's value as text (integers too); nullopt when missing.
  std::optional<std::string> value(const char* name) {
    sqlite3_stmt* stmt =
        prepare("SELECT CAST(data AS TEXT) FROM entries WHERE key = ?1 AND name = ?2");
    sqlite3_bind_text(stmt, 1, pelmora::kProgramKey, -1, SQLITE_STATIC);
    sqlite3_bind_text(stmt, 2, name, -1, SQLITE_STATIC);
    std::optional<std::string> v;
    if (sqlite3_step(stmt) == SQLITE_ROW) {
      v = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    }
    sqlite3_finalize(stmt);
    return v;
  }

  void setInteger(const char* name, int v) {
    sqlite3_stmt* stmt = prepare("UPDATE entries SET data = ?3 WHERE key = ?1 AND name = ?2");
    sqlite3_bind_text(stmt, 1, pelmora::kProgramKey, -1, SQLITE_STATIC);
    sqlite3_bind_text(stmt, 2, name, -1, SQLITE_STATIC);
    sqlite3_bind_int(stmt, 3, v);
    const bool done = sqlite3_step(stmt) == SQLITE_DONE && sqlite3_changes(m_db) == 1;
    sqlite3_finalize(stmt);
    if (!done) throw std::runtime_error(std::string("cannot set ") + name);
  }

  std::string integrity() {
    sqlite3_stmt* stmt = prepare("PRAGMA integrity_check");
    std::string all;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      if (!all.empty()) all += "; ";
      all += reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    }
    sqlite3_finalize(stmt);
    return all;
  }

 private:
  sqlite3_stmt* prepare(const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
      throw std::runtime_error(std::string("sqlite: ") + sqlite3_errmsg(m_db));
    }
    return stmt;
  }

  sqlite3* m_db = nullptr;
};

Totals readTotals(const fs::path& file) {
  Database db(file);
  Totals t;
  auto need = [&](const char* name) {
    const auto v = db.value(name);
    if (!v) throw std::runtime_error(std::string(name) + " is missing from the store");
    return *v;
  };
  t.secondsT = std::stoll(need("SecondsT"));
  t.numberT = std::stoll(need("NumberT"));
  t.centsT = need("CentsT");
  t.account = need("Account");
  t.integrity = db.integrity();
  return t;
}

// The first token of Account.LOG, as the program reads it.
std::string accountLogToken(const fs::path& file) {
  const std::string text = fileContent(file);
  const auto begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  return text.substr(begin, text.find_first_of(" \t\r\n", begin) - begin);
}

std::vector<std::string> temporaryFiles(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".new") names.push_back(entry.path().filename().string());
  }
  return names;
}

// ---- the storm ---------------------------------------------------------------------------

enum class Way {
  DisconnectFailpoint,
  KillConnected,
  KillAfterLinkDown,
  RecoveryFailpoint,
  FullDisk,
  ReadOnlyFolder
};

// How a round with unwritable files ends the program: SIGTERM once the files can be written
// again (the running program finishes them), SIGTERM or SIGKILL while they still cannot.
enum class Ending { TermAfterReturn, TermBeforeReturn, KillBeforeReturn };

struct Plan {
  Way way;
  std::string failpoint;       // armed in the run that disconnects
  std::string startFailpoint;  // armed in the first start after the kill
  double connected = 0;        // seconds from the connect line to the kill or the link going down
  double killDelay = 0;        // KillAfterLinkDown: seconds from the link going down to the kill
  double unwritable = 0;       // FullDisk, ReadOnlyFolder: seconds of the connection left when
                               // the files become unwritable
  Ending ending = Ending::TermAfterReturn;
};

// What the counters looked like after the last failed round (or at the start): the checks
// compare what changed since then, so one failed round does not fail every round after it.
struct Baseline {
  std::uintmax_t logOffset = 0;
  Totals totals;
  int rounds = 0;
};

class Storm {
 public:
  Storm(fs::path program, std::uint64_t seed)
      : m_sandbox(std::move(program)),
        m_rng(seed),
        m_trace(m_sandbox.root() / "logs" / "trace.txt") {}

  const Sandbox& sandbox() const { return m_sandbox; }

  // The first start writes the defaults; every connection then costs from its first second.
  void prepare() {
    m_sandbox.setLink(false);
    Run first = m_sandbox.start("", "", m_trace);
    if (!waitForStart(first)) throw std::runtime_error("the first start did not complete");
    first.process->signal(SIGTERM);
    if (first.process->wait(10s) != 0) throw std::runtime_error("the first run did not end");
    {
      Database db(m_sandbox.file("registry.db"));
      db.setInteger("Trunc", 0);
      db.setInteger("Zero", 0);
    }
    m_baseline.logOffset = fileSize("Internet.LOG");
    m_baseline.totals = readTotals(m_sandbox.file("registry.db"));
  }

  // One round; prints its line and returns whether it passed.
  bool round(int number, int total) {
    const Plan plan = draw();
    const auto began = Clock::now();
    m_traceOffset = fileContent(m_trace).size();
    m_failures.clear();
    m_roundRuns.clear();
    const std::uintmax_t logOffset = fileSize("Internet.LOG");

    std::string kill = play(plan);
    if (!plan.startFailpoint.empty()) kill += armedStart(plan.startFailpoint);
    const bool tmpAfterKill = m_tmpAfterKill;
    m_sandbox.setLink(false);
    restart();
    const int counted = check(logOffset, tmpAfterKill);

    std::cout << "round " << number << "/" << total << ": " << kill
              << "; Duration.tmp after the kill: " << (tmpAfterKill ? "yes" : "no")
              << "; points: " << reachedText() << "; counted " << counted << "; "
              << fixed1(secondsSince(began)) << " s";
    const bool passed = m_failures.empty();
    if (passed) {
      std::cout << " - ok\n";
    } else {
      std::cout << " - FAILED:";
      for (const std::string& f : m_failures) std::cout << "\n    " << f;
      std::cout << "\n";
    }
    std::cout.flush();
    ++m_baseline.rounds;
    if (!passed) rebaseline();
    return passed;
  }

  void finish() {
    m_sandbox.setDiskFull(false);
    m_sandbox.setFolderReadOnly(false);
    if (m_current.process && m_current.process->running()) {
      m_current.process->signal(SIGTERM);
      m_current.process->wait(10s);
    }
  }

 private:
  double uniform(double a, double b) { return std::uniform_real_distribution<double>(a, b)(m_rng); }
  const std::string& pick(const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(m_rng)];
  }

  // Durations keep a round to a few seconds: half of the connections die before the first
  // crash-file write at 5 s, the rest after it.
  Plan draw() {
    const double r = uniform(0, 1);
    if (r < 0.3) {
      const std::string point = pick(kDisconnectPoints);
      return {Way::DisconnectFailpoint, point, uniform(0, 1) < 0.5 ? pick(kFinishPoints) : "",
              uniform(1, 9), 0};
    }
    if (r < 0.5) return {Way::KillConnected, "", "", uniform(0.3, 9), 0};
    if (r < 0.6) return {Way::KillAfterLinkDown, "", "", uniform(1, 9), uniform(0, 1.2)};
    if (r < 0.8) return {Way::RecoveryFailpoint, "", pick(kRecoveryPoints), uniform(5.5, 8), 0};
    // The files turn unwritable after the first crash-file write, some seconds before the link
    // goes down or just before it.
    const Ending ending = static_cast<Ending>(std::uniform_int_distribution<int>(0, 2)(m_rng));
    const Way way = uniform(0, 1) < 0.5 ? Way::FullDisk : Way::ReadOnlyFolder;
    return {way, "", "", uniform(5.5, 12), 0, uniform(0, 6), ending};
  }

  std::uintmax_t fileSize(const char* name) const {
    std::error_code ec;
    const auto size = fs::file_size(m_sandbox.file(name), ec);
    return ec ? 0 : size;
  }

  void fail(const std::string& what) { m_failures.push_back(what); }

  Run& launch(const std::string& answers, const std::string& failpoint) {
    std::ofstream(m_trace, std::ios::app)
        << (failpoint.empty() ? "[start]" : "[start armed " + failpoint + "]") << "\n";
    m_roundRuns.push_back(m_sandbox.start(answers, failpoint, m_trace));
    return m_roundRuns.back();
  }

  // Ends the running program (it idles with the link down) and starts one armed with the
  // failpoint, or unarmed when there is none.
  bool startFresh(const std::string& failpoint) {
    if (m_current.process && m_current.process->running()) {
      m_current.process->signal(SIGTERM);
      if (m_current.process->wait(10s) != 0) fail("the previous run did not end on SIGTERM");
    }
    m_current = {};
    if (!waitForStart(launch("", failpoint))) {
      fail("a start with the link down did not complete");
      return false;
    }
    return true;
  }

  ProgramProcess& running() { return *m_roundRuns.back().process; }

  // Kills what runs now and waits for it to be gone.
  void killNow(ProgramProcess& p) {
    if (!p.running())
      fail("the program had ended by itself with code " + std::to_string(p.wait(0ms)));
    p.signal(SIGKILL);
    p.wait(10s);
  }

  // Lets the connection happen and the process die as planned; returns how it died.
  std::string play(const Plan& plan) {
    m_tmpAfterKill = false;
    const bool armed = plan.way == Way::DisconnectFailpoint;
    if (!armed && m_current.process && m_current.process->running()) {
      m_roundRuns.push_back(std::move(m_current));
      m_current = {};
    } else if (!startFresh(armed ? plan.failpoint : "")) {
      return "no program to kill";
    }
    ProgramProcess& program = running();
    m_sandbox.setLink(true);
    const auto logOffset = fileSize("Internet.LOG");
    if (!waitUntil(
            [&] {
              return fileContent(m_sandbox.file("Internet.LOG")).find(" - Connected", logOffset) !=
                     std::string::npos;
            },
            10s)) {
      fail("no connect line within 10 s of the link going up");
    }
    const auto connected = Clock::now();
    sleepFor(seconds(plan.connected));
    const std::string after = fixed1(secondsSince(connected)) + " s connected";

    switch (plan.way) {
      case Way::DisconnectFailpoint: {
        m_sandbox.setLink(false);
        const int code = program.wait(3s);
        if (code == -1) killNow(program);
        m_tmpAfterKill = fs::exists(m_sandbox.file("Duration.tmp"));
        const std::string how = "link down after " + after + ", armed " + plan.failpoint;
        if (code == -1) return how + " (never reached: SIGKILL 3 s after the link went down)";
        if (code != 128 + SIGKILL)
          fail("the disconnect ended the program with code " + std::to_string(code));
        return how + " (died there)";
      }
      case Way::KillConnected:
        killNow(program);
        m_tmpAfterKill = fs::exists(m_sandbox.file("Duration.tmp"));
        return "SIGKILL after " + after;
      case Way::KillAfterLinkDown:
        m_sandbox.setLink(false);
        sleepFor(seconds(plan.killDelay));
        killNow(program);
        m_tmpAfterKill = fs::exists(m_sandbox.file("Duration.tmp"));
        return "SIGKILL " + fixed1(plan.killDelay) + " s after the link went down, " + after;
      case Way::RecoveryFailpoint:
        waitUntil([&] { return fs::exists(m_sandbox.file("Duration.tmp")); }, 6s);
        killNow(program);
        m_tmpAfterKill = fs::exists(m_sandbox.file("Duration.tmp"));
        return "SIGKILL after " + after;
      case Way::FullDisk:
      case Way::ReadOnlyFolder:
        return playUnwritable(plan, program, after);
    }
    return "";
  }

  // The files become unwritable during the connection, the link goes down, and the program
  // ends before or after they can be written again.
  std::string playUnwritable(const Plan& plan, ProgramProcess& program, const std::string& after) {
    waitUntil([&] { return fs::exists(m_sandbox.file("Duration.tmp")); }, 6s);
    const bool readOnly = plan.way == Way::ReadOnlyFolder && m_sandbox.setFolderReadOnly(true);
    if (!readOnly) m_sandbox.setDiskFull(true);
    sleepFor(seconds(plan.unwritable));
    m_sandbox.setLink(false);
    sleepFor(1500ms);  // the disconnect settles and tells what it could not write
    const auto giveBack = [&] {
      m_sandbox.setDiskFull(false);
      m_sandbox.setFolderReadOnly(false);
    };
    std::string how = std::string(readOnly ? "read-only folder" : "full disk") +
                      (plan.way == Way::ReadOnlyFolder && !readOnly ? " (no mount here)" : "") +
                      " " + fixed1(plan.unwritable) + " s before the link went down, " + after;
    if (!program.running()) {
      fail("the program ended by itself with code " + std::to_string(program.wait(0ms)));
    }
    switch (plan.ending) {
      case Ending::TermAfterReturn:
        giveBack();
        sleepFor(2500ms);  // the retry finishes the files
        program.signal(SIGTERM);
        how += "; writable again, then SIGTERM";
        break;
      case Ending::TermBeforeReturn:
        program.signal(SIGTERM);
        how += "; SIGTERM, then writable again";
        break;
      case Ending::KillBeforeReturn:
        program.signal(SIGKILL);
        how += "; SIGKILL, then writable again";
        break;
    }
    const int code = program.wait(10s);
    if (code == -1) killNow(program);
    giveBack();
    m_tmpAfterKill = fs::exists(m_sandbox.file("Duration.tmp"));
    return how;
  }

  // A start with the link down, armed: it dies at the point or, when the point is never
  // reached, by SIGKILL once the start completed.
  std::string armedStart(const std::string& point) {
    m_sandbox.setLink(false);
    Run& run = launch("yes", point);
    const std::string how = ", then a start armed " + point;
    if (waitForStart(run, 15s)) {
      killNow(*run.process);
      return how + " (never reached: SIGKILL after the start completed)";
    }
    if (run.process->running()) {
      fail("the armed start neither completed nor died within 15 s");
      killNow(*run.process);
      return how + " (hung)";
    }
    const int code = run.process->wait(0ms);
    if (code != 128 + SIGKILL) fail("the armed start ended with code " + std::to_string(code));
    return how + " (died there)";
  }

  // Starts with the link down until one start completes; that run stays for the next round.
  void restart() {
    for (int attempt = 1; attempt <= 3; ++attempt) {
      Run& run = launch("yes", "");
      if (waitForStart(run)) {
        m_current = std::move(run);
        m_roundRuns.pop_back();
        return;
      }
      if (run.process->running()) {
        fail("a start with the link down hung (no event loop within 20 s)");
        killNow(*run.process);
      } else {
        fail("a start with the link down died with code " + std::to_string(run.process->wait(0ms)));
      }
    }
  }

  // The failpoints the round's runs reached and the starts, in order; a repeated point once
  // with its count.
  std::vector<std::string> reached() const {
    std::vector<std::string> names;
    std::istringstream in(fileContent(m_trace).substr(m_traceOffset));
    for (std::string line; std::getline(in, line);) names.push_back(line);
    return names;
  }

  std::string reachedText() const {
    const std::vector<std::string> names = reached();
    std::string text;
    for (std::size_t i = 0; i < names.size();) {
      std::size_t j = i;
      while (j < names.size() && names[j] == names[i]) ++j;
      text += (text.empty() ? "" : ", ") + names[i];
      if (j - i > 1) text += " x" + std::to_string(j - i);
      i = j;
    }
    return text.empty() ? "none" : text;
  }

  void checkBoxes(Run& run) {
    if (!run.process) return;
    for (const std::string& box : newBoxes(run)) {
      if (box.find(kAccountQuestion) != std::string::npos) {
        fail("the account question came: " + box);
      } else if (box.rfind(kCrashQuestion, 0) == 0 &&
                 box.find(kCrashQuestionText) != std::string::npos) {
        // The crash question: answered "yes".
      } else if (box.find(kUnprotected) != std::string::npos ||
                 box.find(kUnfinished) != std::string::npos) {
        // Told while the files could not be written.
      } else if (!isAccountQuestionSequel(box)) {
        fail("an unexpected message box: " + box);
      }
    }
  }

  // Returns how many times the round's connection was counted.
  int check(std::uintmax_t logOffset, bool tmpAfterKill) {
    const std::string log = fileContent(m_sandbox.file("Internet.LOG"));
    const LogCount round = countSummaries(log.substr(std::min<std::size_t>(logOffset, log.size())));
    const std::vector<std::string> points = reached();
    const bool committed =
        std::find(points.begin(), points.end(), "disconnect:committed") != points.end();
    if (round.counted > 1) {
      fail("the connection was counted " + std::to_string(round.counted) + " times");
    } else if (round.counted == 0 && (tmpAfterKill || committed)) {
      fail(std::string("the connection was lost: ") +
           (committed ? "the disconnect had committed" : "Duration.tmp existed after the kill") +
           ", but no summary line was written");
    }
    if (round.ignored != 0) fail("an ignored entry was logged (the crash file was not read)");

    for (Run& run : m_roundRuns) checkBoxes(run);
    checkBoxes(m_current);

    if (!m_current.process) return round.counted;  // no clean start: the files may be half done
    for (const char* name : {"Duration.tmp", "Waiting.tmp"}) {
      if (fs::exists(m_sandbox.file(name)))
        fail(std::string(name) + " is left after a clean start");
    }
    for (const std::string& name : temporaryFiles(m_sandbox.home())) {
      fail(name + " is left after a clean start");
    }
    Totals now;
    try {
      now = readTotals(m_sandbox.file("registry.db"));
    } catch (const std::exception& e) {
      fail(std::string("the store: ") + e.what());
      return round.counted;
    }
    if (now.integrity != "ok") fail("integrity_check: " + now.integrity);

    const LogCount since =
        countSummaries(log.substr(std::min<std::size_t>(m_baseline.logOffset, log.size())));
    const std::int64_t secondsAdded = now.secondsT - m_baseline.totals.secondsT;
    if (secondsAdded != since.seconds) {
      fail("SecondsT grew by " + std::to_string(secondsAdded) + " s, the summary lines by " +
           std::to_string(since.seconds) + " s");
    }
    const std::int64_t numberAdded = now.numberT - m_baseline.totals.numberT;
    if (numberAdded > m_baseline.rounds + 1) {
      fail("NumberT grew by " + std::to_string(numberAdded) + " in " +
           std::to_string(m_baseline.rounds + 1) + " rounds");
    }
    try {
      const long double drawn = pelmora::parseStoredAmount(m_baseline.totals.account) -
                                pelmora::parseStoredAmount(now.account);
      const long double cents = pelmora::parseStoredAmount(now.centsT) -
                                pelmora::parseStoredAmount(m_baseline.totals.centsT);
      if (std::fabs(drawn - cents * 0.01L) > kBalanceTolerance) {
        fail("Account " + now.account + " does not follow CentsT " + now.centsT + " (since " +
             m_baseline.totals.account + " / " + m_baseline.totals.centsT + ")");
      }
    } catch (const std::exception& e) {
      fail(std::string("an amount in the store: ") + e.what());
    }
    const std::string token = accountLogToken(m_sandbox.file("Account.LOG"));
    if (token != now.account) {
      fail("Account.LOG holds \"" + token + "\", the store \"" + now.account + "\"");
    }
    return round.counted;
  }

  // After a failure the counters start afresh from what the files and the store say now.
  void rebaseline() {
    m_baseline.rounds = 0;
    m_baseline.logOffset = fileSize("Internet.LOG");
    try {
      m_baseline.totals = readTotals(m_sandbox.file("registry.db"));
    } catch (const std::exception&) {
      // The next round reports the store again.
    }
  }

  Sandbox m_sandbox;
  std::mt19937_64 m_rng;
  Baseline m_baseline;
  Run m_current;
  std::vector<Run> m_roundRuns;
  std::vector<std::string> m_failures;
  fs::path m_trace;  // every run's failpoints, one a line, and a line at each start
  std::size_t m_traceOffset = 0;
  bool m_tmpAfterKill = false;
};

int usage() {
  std::cerr << "usage: killstorm [--rounds N] [--seed S] [--program PATH] [--keep]\n";
  return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
  int rounds = 300;
  std::uint64_t seed = std::random_device{}();
  fs::path program = PELMORA_FAILPOINTS_EXECUTABLE;
  bool keep = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--rounds" && hasValue) {
      rounds = std::stoi(argv[++i]);
    } else if (arg == "--seed" && hasValue) {
      seed = std::stoull(argv[++i]);
    } else if (arg == "--program" && hasValue) {
      program = argv[++i];
    } else if (arg == "--keep") {
      keep = true;
    } else {
      return usage();
    }
  }

  const auto began = Clock::now();
  Storm storm(program, seed);
  std::cout << "killstorm: seed " << seed << ", " << rounds << " rounds, " << program.string()
            << "\n          data in " << storm.sandbox().root().string() << std::endl;
  int passed = 0;
  int failed = 0;
  std::string failedRounds;
  try {
    storm.prepare();
    for (int r = 1; r <= rounds; ++r) {
      if (storm.round(r, rounds)) {
        ++passed;
      } else {
        ++failed;
        failedRounds += " " + std::to_string(r);
      }
    }
  } catch (const std::exception& e) {
    std::cout << "killstorm: " << e.what() << std::endl;
    ++failed;
  }
  storm.finish();
  std::cout << "killstorm: seed " << seed << ", " << fixed1(secondsSince(began)) << " s"
            << (failedRounds.empty() ? "" : ", failed rounds:" + failedRounds) << std::endl;
  if (failed == 0 && !keep) {
    fs::remove_all(storm.sandbox().root());
  } else {
    std::cout << "killstorm: the data folder and the runs' output are kept in "
              << storm.sandbox().root().string() << std::endl;
  }
  std::cout << passed << " passed, " << failed << " failed" << std::endl;
  return failed == 0 ? 0 : 1;
}
