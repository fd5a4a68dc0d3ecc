#include "app/ShutdownSignals.h"

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace pelmora {

namespace {

int g_pipe[2] = {-1, -1};

extern "C" void onShutdownSignal(int) {
  const char byte = 1;
  // Only async-signal-safe calls here; a full pipe just means a wake-up is already pending.
  [[maybe_unused]] const ssize_t n = ::write(g_pipe[0], &byte, 1);
}

}  // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0) return;
  m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownSignals::drain);

  struct sigaction action {};
  action.sa_handler = onShutdownSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

ShutdownSignals::~ShutdownSignals() {
  std::signal(SIGTERM, SIG_DFL);
  std::signal(SIGINT, SIG_DFL);
  delete m_notifier;  // before its socket closes
  m_notifier = nullptr;
  for (int& end : g_pipe) {
    if (end >= 0) ::close(end);
    end = -1;
  }
}

void ShutdownSignals::drain() {
  char buffer[16];
  [[maybe_unused]] const ssize_t n = ::read(g_pipe[1], buffer, sizeof buffer);
  emit received();
}

}  // namespace pelmora
