#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "store/TextFile.h"

namespace pelmora {

// The files are UTF-8 like the program's own text.
std::string toFileText(std::string_view utf8) {
  return std::string(utf8);
}

std::string fromFileText(std::string_view bytes) {
  return std::string(bytes);
}

namespace detail {

std::FILE* openFile(const std::filesystem::path& file, const char* mode) {
  return std::fopen(file.c_str(), mode);
}

bool syncToDisk(std::FILE* file) {
  return ::fsync(::fileno(file)) == 0;
}

bool moveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) return false;
  // The new name must reach the disk too, or a power cut could bring back the old file or none.
  std::filesystem::path folder = to.parent_path();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
  return true;
}

}  // namespace detail

}  // namespace pelmora
