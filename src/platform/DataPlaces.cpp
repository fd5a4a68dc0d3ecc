#include "platform/DataPlaces.h"

#include <fstream>
#include <system_error>

namespace pelmora {

bool folderWritable(const std::filesystem::path& folder) {
  const std::filesystem::path probe = folder / "Pelmora.write-check.tmp";
  std::error_code ec;
  if (std::filesystem::exists(probe, ec)) std::filesystem::remove(probe, ec);
  bool written = false;
  {
    std::ofstream out(probe, std::ios::binary | std::ios::trunc);
    written = static_cast<bool>(out << 'x') && static_cast<bool>(out.flush());
  }
  std::filesystem::remove(probe, ec);
  return written;
}

bool adoptOlderLogs(const std::filesystem::path& dataFolder,
                    const std::vector<std::filesystem::path>& olderFolders) {
  constexpr const char* kLogs[] = {"Internet.LOG", "Account.LOG"};
  std::error_code ec;
  for (const char* name : kLogs) {
    if (std::filesystem::exists(dataFolder / name, ec)) return false;
  }
  for (const std::filesystem::path& older : olderFolders) {
    bool copied = false;
    for (const char* name : kLogs) {
      if (!std::filesystem::is_regular_file(older / name, ec)) continue;
      // The older installation keeps its own files: an uninstall of it removes them.
      copied = std::filesystem::copy_file(older / name, dataFolder / name, ec) || copied;
    }
    if (copied) return true;
  }
  return false;
}

std::filesystem::path chooseDataFolder(const DataPlaces& places) {
  if (!places.home.empty()) return places.home;
  const std::filesystem::path& own = places.executableFolder;
  std::error_code ec;
  if (!own.empty()) {
    if (std::filesystem::is_regular_file(own / kPortableMarker, ec)) return own;
    bool olderFiles = false;
    for (const char* name : {"Internet.LOG", "Account.LOG", "Duration.tmp"}) {
      olderFiles = olderFiles || std::filesystem::is_regular_file(own / name, ec);
    }
    if (olderFiles && folderWritable(own)) return own;
  }
  return places.localAppData / "Pelmora";
}

}  // namespace pelmora
