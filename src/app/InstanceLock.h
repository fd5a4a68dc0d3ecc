#pragma once

#include <filesystem>

namespace pelmora {

// The system-wide lock that keeps the program to one instance. Every instance holds a
// reference for its whole life, whether or not it was first; the lock exists as long as one
// instance holds it.
class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
  // Takes this process's reference; true when nobody else held the lock before.
  virtual bool acquire() = 0;
};

// Linux: a shared flock on a file in the data folder, held until the process ends. An instance
// is first when an exclusive lock could be taken; a second lock file serialises the check so two
// simultaneous starts cannot both be first.
class FileInstanceLock final : public InstanceLock {
 public:
  explicit FileInstanceLock(std::filesystem::path lockFile);
  ~FileInstanceLock() override;
  FileInstanceLock(const FileInstanceLock&) = delete;
  FileInstanceLock& operator=(const FileInstanceLock&) = delete;

  bool acquire() override;

 private:
  std::filesystem::path m_path;
  int m_fd = -1;
};

}  // namespace pelmora
