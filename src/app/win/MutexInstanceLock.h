#pragma once

#include <string>

#include "app/InstanceLock.h"

namespace pelmora {

// Windows: the named mutex "Pelmora", created with initial ownership. An instance is first when
// the system reports no error after creating it; already existing, or any other error, means
// not first. The handle is kept until the object is destroyed (the process ends), so the mutex
// lives as long as one instance holds it; a restarted instance waiting for the old one closes
// its handle between attempts and creates the mutex anew.
class MutexInstanceLock final : public InstanceLock {
 public:
  explicit MutexInstanceLock(std::string name = "Pelmora");
  ~MutexInstanceLock() override;
  MutexInstanceLock(const MutexInstanceLock&) = delete;
  MutexInstanceLock& operator=(const MutexInstanceLock&) = delete;

  LockResult acquire() override;
  void release() override;

 private:
  std::string m_name;
  void* m_handle = nullptr;
};

}  // namespace pelmora
