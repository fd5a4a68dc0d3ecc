#include "support/ProgramProcess.h"

#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pelmora::testing {

ProgramProcess::ProgramProcess(std::filesystem::path executable, std::vector<std::string> arguments,
                               std::map<std::string, std::string> environment,
                               std::filesystem::path stderrFile)
    : m_stderrFile(std::move(stderrFile)) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    if (!environment.count(name)) env.push_back(entry);
  }
  for (const auto& [name, value] : environment) env.push_back(name + "=" + value);

  std::vector<std::string> argv{executable.string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());

  m_pid = ::fork();
  if (m_pid == 0) {
    const int err = ::open(m_stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(err, 2);
    std::vector<char*> cargv, cenv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    for (auto& e : env) cenv.push_back(e.data());
    cenv.push_back(nullptr);
    ::execve(cargv[0], cargv.data(), cenv.data());
    ::_exit(127);
  }
}

ProgramProcess::~ProgramProcess() {
  if (running()) {
    ::kill(m_pid, SIGKILL);
    wait(std::chrono::seconds(5));
  }
}

bool ProgramProcess::running() {
  if (m_pid <= 0 || m_status != -1) return false;
  int status = 0;
  if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
  }
  return true;
}

void ProgramProcess::signal(int signo) {
  if (running()) ::kill(m_pid, signo);
}

std::map<std::string, std::string> offscreenEnvironment(const std::filesystem::path& home,
                                                        const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  fs::create_directories(home);
  fs::create_directories(root / "sys" / "class" / "net");
  fs::create_directories(root / "runtime");
  fs::permissions(root / "runtime", fs::perms::owner_all, fs::perm_options::replace);
  return {{"QT_QPA_PLATFORM", "offscreen"},
          {"LC_ALL", "C.UTF-8"},
          {"PELMORA_HOME", home.string()},
          {"PELMORA_SYSFS", (root / "sys").string()},
          {"XDG_CONFIG_HOME", (root / "config").string()},
          {"XDG_RUNTIME_DIR", (root / "runtime").string()}};
}

bool instanceLockHeld(const std::filesystem::path& dataFolder) {
  const auto lockFile = dataFolder / "pelmora.lock";
  if (!std::filesystem::exists(lockFile)) return false;
  // Take the program's own gate so the probe never makes a starting instance think it is second.
  const int gate = ::open((lockFile.string() + ".check").c_str(), O_RDWR | O_CREAT, 0644);
  const int fd = ::open(lockFile.c_str(), O_RDWR);
  if (gate < 0 || fd < 0) return false;
  ::flock(gate, LOCK_EX);
  const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  ::close(gate);
  return !free;
}

}  // namespace pelmora::testing
