#include "app/linux/FileInstanceLock.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora {

namespace {

// The lock files are private like the rest of the data folder; one made before (or by somebody
// else's check) is narrowed to its owner.
int openLockFile(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  struct stat status {};
  if (fd >= 0 && ::fstat(fd, &status) == 0 && (status.st_mode & 077) != 0) {
    ::fchmod(fd, status.st_mode & 0600);
  }
  return fd;
}

int lockRetryingOnSignal(int fd, int operation) {
  int rc;
  do {
    rc = ::flock(fd, operation);
  } while (rc != 0 && errno == EINTR);
  return rc;
}

LockResult unusable(int error) {
  return {LockOutcome::Unusable, std::error_code(error, std::generic_category())};
}

}  // namespace

FileInstanceLock::FileInstanceLock(std::filesystem::path lockFile) : m_path(std::move(lockFile)) {}

FileInstanceLock::~FileInstanceLock() {
  release();
}

void FileInstanceLock::release() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

LockResult FileInstanceLock::acquire() {
  release();
  m_fd = openLockFile(m_path);
  if (m_fd < 0) return unusable(errno);

  std::filesystem::path gatePath = m_path;
  gatePath += ".check";
  const int gate = openLockFile(gatePath);
  if (gate < 0 || lockRetryingOnSignal(gate, LOCK_EX) != 0) {
    const int error = errno;
    if (gate >= 0) ::close(gate);
    release();
    return unusable(error);
  }
  // Nobody else can be between these lines: the exclusive attempt tells whether any instance
  // holds a reference, and the downgrade keeps ours as a shared one.
  const bool first = ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
  lockRetryingOnSignal(m_fd, LOCK_SH);
  ::close(gate);
  return {first ? LockOutcome::First : LockOutcome::Taken, {}};
}

}  // namespace pelmora
