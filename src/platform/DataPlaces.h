#pragma once

#include <filesystem>
#include <vector>

namespace pelmora {

// The places the Windows program chooses its data folder from; the choice itself is plain file
// work, so it is the same on every system.
struct DataPlaces {
  std::filesystem::path home;              // PELMORA_HOME; empty when not set
  std::filesystem::path executableFolder;  // the folder of the running executable
  std::filesystem::path localAppData;      // %LOCALAPPDATA%
};

// The file beside the executable that makes a copy portable (the zip carries it).
inline constexpr const char* kPortableMarker = "Pelmora.portable";
// A portable copy's settings, beside its other files.
inline constexpr const char* kPortableSettingsFile = "Pelmora.settings";

// PELMORA_HOME when set; else the executable's folder for a portable copy, or when that folder
// already holds the files of an older installation (Internet.LOG, Account.LOG, Duration.tmp)
// and the user can write there; else localAppData\Pelmora. An installed program never writes
// into its own folder, which a normal user may not change (Program Files).
std::filesystem::path chooseDataFolder(const DataPlaces& places);

// An upgrade from an older installation that kept its logs beside itself (in its program
// folder, or where Windows redirected its writes there): copies Internet.LOG and Account.LOG
// from the first of the folders that holds either into the data folder, once, while the data
// folder has neither. True when something was copied.
bool adoptOlderLogs(const std::filesystem::path& dataFolder,
                    const std::vector<std::filesystem::path>& olderFolders);

// True when a file can be created (and is removed again) in the folder.
bool folderWritable(const std::filesystem::path& folder);

}  // namespace pelmora
