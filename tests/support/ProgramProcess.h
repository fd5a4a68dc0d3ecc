#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

namespace pelmora::testing {

// The real program, started as a user would start it: its own environment (offscreen Qt, a
// data folder, a fake sysfs tree, scripted answers), standard error captured to a file.
class ProgramProcess {
 public:
  ProgramProcess(std::filesystem::path executable, std::vector<std::string> arguments,
                 std::map<std::string, std::string> environment, std::filesystem::path stderrFile);
  ~ProgramProcess();  // kills it when still running
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  // Waits for the exit code; -1 on timeout, 128 + signal when killed by one.
  int wait(std::chrono::milliseconds timeout);
  bool running();
  void signal(int signo);
  pid_t pid() const { return m_pid; }
  std::string errorOutput() const;
  // The message boxes the program answered from PELMORA_ANSWERS, one "title | text" line each;
  // whatever else it wrote to standard error (toolkit warnings) is left out.
  std::string messageBoxes() const;

 private:
  pid_t m_pid = -1;
  int m_status = -1;
  std::filesystem::path m_stderrFile;
};

// The environment of the real program started offscreen over folders of its own: the data
// folder `home`, and under `root` a fake sysfs tree ("sys", with an empty class/net), the
// autostart folder's parent ("config") and a private runtime folder ("runtime"), all made here.
// Message boxes are left to the caller (PELMORA_ANSWERS).
std::map<std::string, std::string> offscreenEnvironment(const std::filesystem::path& home,
                                                        const std::filesystem::path& root);

// True when some process holds the program's instance lock in that folder.
bool instanceLockHeld(const std::filesystem::path& dataFolder);

void sleepFor(std::chrono::milliseconds ms);

// Waits until pred() is true; false after the timeout.
template <typename Pred>
bool waitUntil(Pred pred, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    if (pred()) return true;
    sleepFor(std::chrono::milliseconds(20));
  }
  return pred();
}

}  // namespace pelmora::testing
