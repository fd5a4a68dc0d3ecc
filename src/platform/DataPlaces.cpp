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
