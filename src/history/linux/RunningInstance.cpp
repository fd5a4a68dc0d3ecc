#include "history/RunningInstance.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace pelmora {

namespace {

// A descriptor closed with its scope.
struct Descriptor {
  explicit Descriptor(int f) : fd(f) {}
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int fd;
};

}  // namespace

bool pelmoraRunning(const DataFolder& folder) {
  // Every instance holds a shared flock on the lock file for its whole life. The files are
  // opened read-only and never created: no lock file, no instance ever ran here.
  const std::filesystem::path lockFile = folder.instanceLock();
  Descriptor lock(::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  if (lock.fd < 0) return false;
  std::filesystem::path gatePath = lockFile;
  gatePath += ".check";
  Descriptor gate(::open(gatePath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  // The program's own gate keeps a start from running its first-instance check while this
  // probe holds the lock for a moment. A start holds the gate for a few system calls only; a
  // gate that stays taken is not waited on beyond a second.
  bool gated = gate.fd < 0;
  if (!gated) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (!(gated = ::flock(gate.fd, LOCK_EX | LOCK_NB) == 0) &&
           (errno == EWOULDBLOCK || errno == EINTR) && std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  if (!gated) return true;  // somebody is starting right now
  // Held by an instance: the exclusive attempt fails. Taken here: closing gives it back.
  return ::flock(lock.fd, LOCK_EX | LOCK_NB) != 0;
}

}  // namespace pelmora
