#pragma once

#include <filesystem>

namespace pelmora {

// Where the program keeps its files: Internet.LOG, Account.LOG, Duration.tmp, the settings
// database, the instance lock and the printable report. Fixed once at start.
class DataFolder {
 public:
  explicit DataFolder(std::filesystem::path root);

  // $PELMORA_HOME when set, else $XDG_DATA_HOME/pelmora (default ~/.local/share/pelmora);
  // on Windows the executable's folder.
  static DataFolder fromEnvironment();

  // Creates the folder when missing; false when it cannot be created.
  bool ensureExists() const;

  const std::filesystem::path& root() const { return m_root; }
  std::filesystem::path connectionLog() const { return m_root / "Internet.LOG"; }
  std::filesystem::path accountLog() const { return m_root / "Account.LOG"; }
  std::filesystem::path durationFile() const { return m_root / "Duration.tmp"; }
  std::filesystem::path settingsDatabase() const { return m_root / "registry.db"; }
  std::filesystem::path instanceLock() const { return m_root / "pelmora.lock"; }

 private:
  std::filesystem::path m_root;
};

}  // namespace pelmora
