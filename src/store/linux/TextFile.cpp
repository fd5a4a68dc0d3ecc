#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string_view>

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
  // A file the program makes is private to the user (0600), whatever the umask; the umask itself
  // stays the user's, for the programs started from here.
  const std::string_view how(mode);
  if (how.empty() || (how[0] != 'w' && how[0] != 'a')) return std::fopen(file.c_str(), mode);
  int flags = how.find('+') != std::string_view::npos ? O_RDWR : O_WRONLY;
  flags |= O_CREAT | O_CLOEXEC | (how[0] == 'w' ? O_TRUNC : O_APPEND);
  const int fd = ::open(file.c_str(), flags, 0600);
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, mode);
  if (f == nullptr) ::close(fd);
  return f;
}

bool syncToDisk(std::FILE* file) {
  return ::fsync(::fileno(file)) == 0;
}

bool moveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) return false;
  // The new name must reach the disk too, or a power cut could bring back the old file or none.
  syncFolderOf(to);
  return true;
}

void syncFolderOf(const std::filesystem::path& file) {
  std::filesystem::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace detail

}  // namespace pelmora
