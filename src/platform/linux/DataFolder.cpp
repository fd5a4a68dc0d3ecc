#include "platform/DataFolder.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmora {

namespace {

std::filesystem::path environmentPath(const char* name) {
  const char* value = std::getenv(name);
  return (value != nullptr && *value != '\0') ? std::filesystem::path(value)
                                              : std::filesystem::path();
}

// Every file the program itself makes in the folder; whatever else the user keeps there is his.
constexpr const char* kProgramFiles[] = {
    "Internet.LOG",     "Account.LOG",  "Duration.tmp",       "registry.db",      "registry.db-wal",
    "registry.db-shm",  "pelmora.lock", "pelmora.lock.check", "Internet.LOG.new", "Account.LOG.new",
    "Duration.tmp.new", "Waiting.tmp",  "Waiting.tmp.new",
};

// Takes from group and others what they may do with the user's own folder or file; never gives
// anything. A link in a file's place is left alone: it points somewhere the program did not make.
void narrow(const std::filesystem::path& path, bool folder) {
  struct stat status {};
  const int rc = folder ? ::stat(path.c_str(), &status) : ::lstat(path.c_str(), &status);
  if (rc != 0 || status.st_uid != ::geteuid()) return;
  if (folder ? !S_ISDIR(status.st_mode) : !S_ISREG(status.st_mode)) return;
  const mode_t keep = folder ? 0700 : 0600;
  const mode_t mode = status.st_mode & 07777;
  if ((mode & ~keep) != 0) ::chmod(path.c_str(), mode & keep);
}

std::error_code makeFolder(const std::filesystem::path& root) {
  std::error_code ec;
  if (std::filesystem::is_directory(root, ec)) return {};
  // The folders above belong to the user's home; only the data folder itself is the program's.
  const std::filesystem::path parent = root.parent_path();
  if (!parent.empty()) {
    std::filesystem::create_directories(parent, ec);
    if (ec) return ec;
  }
  if (::mkdir(root.c_str(), 0700) != 0 && errno != EEXIST) {
    return {errno, std::generic_category()};
  }
  if (!std::filesystem::is_directory(root, ec)) {
    return ec ? ec : std::make_error_code(std::errc::not_a_directory);
  }
  return {};
}

}  // namespace

DataFolder DataFolder::fromEnvironment() {
  if (auto home = environmentPath("PELMORA_HOME"); !home.empty()) return DataFolder(home);
  if (auto data = environmentPath("XDG_DATA_HOME"); !data.empty()) {
    return DataFolder(data / "pelmora");
  }
  return DataFolder(environmentPath("HOME") / ".local" / "share" / "pelmora");
}

std::error_code DataFolder::prepare() const {
  // "folder/" names the folder itself.
  const std::filesystem::path folder = m_root.has_filename() ? m_root : m_root.parent_path();
  if (const std::error_code ec = makeFolder(folder)) return ec;
  // A folder the program cannot write loses every connection's files, whatever files it holds.
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return {errno, std::generic_category()};
  narrow(folder, true);
  for (const char* name : kProgramFiles) narrow(folder / name, false);
  // A database file that exists already keeps its mode; an empty file is an empty database.
  const int fd = ::open(settingsDatabase().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd >= 0) ::close(fd);
  return {};
}

}  // namespace pelmora
