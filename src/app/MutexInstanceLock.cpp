#include "app/MutexInstanceLock.h"

#include <windows.h>

#include <utility>

namespace pelmora {

MutexInstanceLock::MutexInstanceLock(std::string name) : m_name(std::move(name)) {}

MutexInstanceLock::~MutexInstanceLock() {
  if (m_handle != nullptr) CloseHandle(m_handle);
}

bool MutexInstanceLock::acquire() {
  if (m_handle != nullptr) return false;  // this object already holds its reference
  SetLastError(ERROR_SUCCESS);
  m_handle = CreateMutexA(nullptr, TRUE, m_name.c_str());
  const DWORD error = GetLastError();
  return m_handle != nullptr && error == ERROR_SUCCESS;
}

}  // namespace pelmora
