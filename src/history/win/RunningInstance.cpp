#include "history/RunningInstance.h"

#include <windows.h>

namespace pelmora {

bool pelmoraRunning(const DataFolder&) {
  // Every instance holds a handle of the named mutex "Pelmora" for its whole life.
  const HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Pelmora");
  if (mutex == nullptr) return false;
  CloseHandle(mutex);
  return true;
}

}  // namespace pelmora
