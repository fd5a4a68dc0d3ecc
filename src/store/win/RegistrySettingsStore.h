#pragma once

#include <memory>
#include <string>

#include "store/SettingsStore.h"

namespace pelmora {

class RegistryUndo;

// Windows: the settings store is the registry under HKEY_CURRENT_USER, every key path taken
// from there, the Run key (autostart) included. Integers are REG_DWORD, texts REG_SZ; texts go
// through the wide-character calls, so they keep every letter whatever the system's code page
// (on a Russian system a reader of the narrow calls sees them in CP1251). A handle is opened for
// reading and writing, or for reading only where the user may not write (then every write is a
// StoreError). Writes are the registry's own: nothing waits for CloseKey.
class RegistrySettingsStore final : public SettingsStore {
 public:
  // prefix: a key below HKEY_CURRENT_USER that stands for the root, so tests can keep their
  // keys apart from the program's; empty for the program itself.
  explicit RegistrySettingsStore(std::string prefix = {});

  std::unique_ptr<StoreKey> OpenKey(const std::string& path, bool create) override;
  // Deletes the subkeys first, deepest first, then the key.
  void DeleteKey(const std::string& path) override;
  // The registry has no transactions: a failed unit writes back the values it had changed.
  void Atomically(const std::function<void()>& steps) override;

 private:
  std::string systemPath(const std::string& path) const;

  std::string m_prefix;
  RegistryUndo* m_undo = nullptr;  // the unit in progress, if any
};

// On the first start with no program key under HKEY_CURRENT_USER, copies the key tree
// Software\Kedrun of an older installation (HKEY_LOCAL_MACHINE, or the user's VirtualStore copy
// of it) there once: the program's values, its tariffs and the launch counter. The machine's
// Run value is left alone. True when something was copied; a StoreError when the copy failed
// (nothing of it is kept). prefix as for the store; the sources are then below it too.
bool copyMachineSettingsOnce(const std::string& prefix = {});

}  // namespace pelmora
