#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "store/win/RegistrySettingsStore.h"

namespace pelmora::testing {

// The registry store below a key of its own under HKEY_CURRENT_USER\Software\PelmoraTests,
// removed again at the end, so the tests never meet the program's settings or autostart list.
struct RegistryBacking {
  std::string prefix = nextPrefix();
  std::unique_ptr<SettingsStore> store = std::make_unique<RegistrySettingsStore>(prefix);
  std::unique_ptr<SettingsStore> second;

  ~RegistryBacking() { RegistrySettingsStore().DeleteKey(prefix); }

  // A second store on the same keys.
  SettingsStore& reopened() {
    second = std::make_unique<RegistrySettingsStore>(prefix);
    return *second;
  }

  static std::string nextPrefix() {
    static std::atomic<int> counter{0};
    return "Software\\PelmoraTests\\" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++counter);
  }
};

}  // namespace pelmora::testing
