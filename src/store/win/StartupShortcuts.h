#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "store/SettingsStore.h"

namespace pelmora {

// The user's Startup folder seen as the autostart list (the Run key), for a portable copy that
// keeps out of the registry: every value is a shortcut named after it ("Pelmora v2.4.lnk")
// whose target and arguments are the value's command line. A value exists exactly when its
// shortcut does. Only texts can be kept here.
class StartupShortcuts {
 public:
  explicit StartupShortcuts(std::filesystem::path folder);

  // The user's Startup folder (FOLDERID_Startup).
  static std::filesystem::path defaultFolder();

  // A handle on the folder; keyPath is only used to name the key in errors.
  std::unique_ptr<StoreKey> open(const std::string& keyPath) const;

 private:
  std::filesystem::path m_folder;
};

}  // namespace pelmora
