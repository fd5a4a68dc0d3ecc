#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace pelmora {

// Where the program keeps its files: Internet.LOG, Account.LOG, Duration.tmp, the settings
// database, the instance lock and the printable report. Fixed once at start. Finding and
// preparing it differ per system (linux/DataFolder.cpp, win/DataFolder.cpp).
class DataFolder {
 public:
  explicit DataFolder(std::filesystem::path root);

  // $PELMORA_HOME when set, else $XDG_DATA_HOME/pelmora (default ~/.local/share/pelmora);
  // on Windows as chooseDataFolder (platform/DataPlaces.h) decides.
  static DataFolder fromEnvironment();

  // Makes the folder ready at start; the system's reason when it cannot be created or (on Linux)
  // written, whatever files it holds. On Linux the folder and the program's files are private
  // to the user: a new folder is made 0700 and an existing one narrowed to it, the program's
  // existing files narrowed to 0600 (nothing else is touched), and a missing settings database
  // is created empty as 0600, because the store gives its journal files the database's mode.
  std::error_code prepare() const;

  const std::filesystem::path& root() const { return m_root; }
  std::filesystem::path connectionLog() const { return m_root / "Internet.LOG"; }
  std::filesystem::path accountLog() const { return m_root / "Account.LOG"; }
  std::filesystem::path durationFile() const { return m_root / "Duration.tmp"; }
  // The crash file of an ended connection that waits for the store while the next is metered.
  std::filesystem::path waitingFile() const { return m_root / "Waiting.tmp"; }
  std::filesystem::path settingsDatabase() const { return m_root / "registry.db"; }
  std::filesystem::path instanceLock() const { return m_root / "pelmora.lock"; }

 private:
  std::filesystem::path m_root;
};

// The system's reason in the words the program's boxes use ("нет места на диске", ...).
std::string reasonText(std::error_code reason);

// The error box's text when the data folder cannot be created or its instance lock cannot be
// made: the folder's full path and the system's reason in words.
std::string unusableFolderText(const std::filesystem::path& folder, std::error_code reason);

}  // namespace pelmora
