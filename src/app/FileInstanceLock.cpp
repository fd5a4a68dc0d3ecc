#include "app/InstanceLock.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace pelmora {

namespace {

int openLockFile(const std::filesystem::path& path) {
  return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
}

int lockRetryingOnSignal(int fd, int operation) {
  int rc;
  do {
    rc = ::flock(fd, operation);
  } while (rc != 0 && errno == EINTR);
  return rc;
}

}  // namespace

FileInstanceLock::FileInstanceLock(std::filesystem::path lockFile) : m_path(std::move(lockFile)) {}

FileInstanceLock::~FileInstanceLock() {
  if (m_fd >= 0) ::close(m_fd);
}

bool FileInstanceLock::acquire() {
  m_fd = openLockFile(m_path);
  // A lock that cannot be made counts as another instance running.
  if (m_fd < 0) return false;

  std::filesystem::path gatePath = m_path;
  gatePath += ".check";
  const int gate = openLockFile(gatePath);
  if (gate < 0 || lockRetryingOnSignal(gate, LOCK_EX) != 0) {
    if (gate >= 0) ::close(gate);
    lockRetryingOnSignal(m_fd, LOCK_SH | LOCK_NB);
    return false;
  }
  // Nobody else can be between these lines: the exclusive attempt tells whether any instance
  // holds a reference, and the downgrade keeps ours as a shared one.
  const bool first = ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
  lockRetryingOnSignal(m_fd, LOCK_SH);
  ::close(gate);
  return first;
}

}  // namespace pelmora
