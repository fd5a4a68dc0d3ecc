#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "store/SettingsStore.h"

namespace pelmora {

// The desktop's autostart folder seen as the system's autostart list (the Run key): every
// value is one desktop entry in the folder, named after the value, whose Exec line holds the
// value's text (the quoted executable path). A value exists exactly when its entry exists and
// is not switched off. Only texts can be kept here.
class AutostartFolder {
 public:
  explicit AutostartFolder(std::filesystem::path folder);

  // $XDG_CONFIG_HOME/autostart, or ~/.config/autostart when it is not set.
  static std::filesystem::path defaultFolder();

  // A handle on the folder; keyPath is only used to name the key in errors.
  std::unique_ptr<StoreKey> open(const std::string& keyPath) const;

  // The desktop entry that stands for the value of that name ("Pelmora v2.4" ->
  // pelmora-v2.4.desktop); names differing only in ASCII case share one entry.
  std::filesystem::path entryFile(const std::string& name) const;

  const std::filesystem::path& folder() const { return m_folder; }

 private:
  std::filesystem::path m_folder;
};

// The Exec line that runs a command line, and back. A command line made of one quoted path
// keeps the path exact whatever characters it holds.
std::string execLineFor(const std::string& commandLine);
std::string commandLineOf(const std::string& execLine);

}  // namespace pelmora
