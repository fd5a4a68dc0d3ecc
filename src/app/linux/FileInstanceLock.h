#pragma once

#include <filesystem>

#include "app/InstanceLock.h"

namespace pelmora {

// Linux: a shared flock on a file in the data folder, held until the process ends. An instance
// is first when an exclusive lock could be taken; a second lock file serialises the check so two
// simultaneous starts cannot both be first. Both files are private to the user (0600).
class FileInstanceLock final : public InstanceLock {
 public:
  explicit FileInstanceLock(std::filesystem::path lockFile);
  ~FileInstanceLock() override;
  FileInstanceLock(const FileInstanceLock&) = delete;
  FileInstanceLock& operator=(const FileInstanceLock&) = delete;

  LockResult acquire() override;
  void release() override;

 private:
  std::filesystem::path m_path;
  int m_fd = -1;
};

}  // namespace pelmora
