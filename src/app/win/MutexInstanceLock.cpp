#include "app/win/MutexInstanceLock.h"

#include <windows.h>

#include <utility>

namespace pelmora {

MutexInstanceLock::MutexInstanceLock(std::string name) : m_name(std::move(name)) {}

MutexInstanceLock::~MutexInstanceLock() {
  release();
}

void MutexInstanceLock::release() {
  if (m_handle != nullptr) CloseHandle(m_handle);
  m_handle = nullptr;
}

LockResult MutexInstanceLock::acquire() {
  // This object already holds its reference.
  if (m_handle != nullptr) return {LockOutcome::Taken, {}};
  SetLastError(ERROR_SUCCESS);
  m_handle = CreateMutexA(nullptr, TRUE, m_name.c_str());
  const DWORD error = GetLastError();
  // Any error, not only "already exists", means another instance, as it always has here.
  const bool first = m_handle != nullptr && error == ERROR_SUCCESS;
  return {first ? LockOutcome::First : LockOutcome::Taken, {}};
}

}  // namespace pelmora
