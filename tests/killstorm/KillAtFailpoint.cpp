// Linked only into pelmora-failpoints, the program built for the kill storm: its static
// initialiser installs the failpoint handler before main runs.
//
//   PELMORA_FAILPOINT=name      die by SIGKILL the first time the point is reached
//   PELMORA_FAILPOINT=name#N    die the Nth time
//   PELMORA_FAILPOINT_TRACE=f   append the name of every point reached to f, one a line, so the
//                               driver knows how far a process came before it died
//   PELMORA_FULL_DISK=f         while the file f exists, every write of the program's text files
//                               fails as on a full disk (the store is left alone)
//
// Once the start-up is over and the event loop runs, one line "pelmora-failpoints: running"
// goes to standard error: the driver's sign that a start completed.

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>

#include "platform/Failpoint.h"

namespace {

std::string g_armed;
long g_wantedHit = 1;
std::atomic<long> g_hits{0};
int g_trace = -1;
std::string g_fullDiskFlag;

bool refuseOnFullDisk(const char*) {
  return !g_fullDiskFlag.empty() && ::access(g_fullDiskFlag.c_str(), F_OK) == 0;
}

void killAtFailpoint(const char* name) {
  if (g_trace >= 0) {
    const std::string line = std::string(name) + "\n";
    // One write on an O_APPEND descriptor: a line is whole even when the kill follows at once.
    if (::write(g_trace, line.data(), line.size()) < 0) g_trace = -1;
  }
  if (!g_armed.empty() && g_armed == name && ++g_hits == g_wantedHit) {
    ::kill(::getpid(), SIGKILL);
  }
}

struct InstallHandler {
  InstallHandler() {
    if (const char* armed = std::getenv("PELMORA_FAILPOINT")) {
      g_armed = armed;
      const auto hash = g_armed.find('#');
      if (hash != std::string::npos) {
        g_wantedHit = std::strtol(g_armed.c_str() + hash + 1, nullptr, 10);
        g_armed.erase(hash);
      }
    }
    if (const char* trace = std::getenv("PELMORA_FAILPOINT_TRACE"); trace && *trace) {
      g_trace = ::open(trace, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    }
    if (const char* flag = std::getenv("PELMORA_FULL_DISK"); flag && *flag) g_fullDiskFlag = flag;
    pelmora::setFailpointHandler(killAtFailpoint);
    pelmora::setWriteRefusal(refuseOnFullDisk);
  }
};

const InstallHandler g_install;

// Runs when the application object is made; the queued call is delivered only by the event
// loop that main enters after the start-up sequence.
void announceRunning() {
  QTimer::singleShot(0, [] {
    std::fputs("pelmora-failpoints: running\n", stderr);
    std::fflush(stderr);
  });
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(announceRunning)
