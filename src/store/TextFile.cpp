#include "store/TextFile.h"

#include <cerrno>
#include <system_error>

#include "platform/Failpoint.h"

namespace pelmora {

namespace {

thread_local std::error_code t_lastError;

// Keeps the system's reason for a failed step; errno before anything else can change it.
bool failed() {
  const int code = errno;
  t_lastError = std::error_code(code != 0 ? code : EIO, std::generic_category());
  return false;
}

// A test build may refuse the write as a full disk would.
bool refused(const std::filesystem::path& file) {
  if (!writeRefused(file.filename().string().c_str())) return false;
  errno = ENOSPC;
  return true;
}

bool writeAll(std::FILE* f, std::string_view bytes) {
  return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
}

}  // namespace

std::error_code lastFileError() {
  return t_lastError;
}

bool appendToFile(const std::filesystem::path& file, std::string_view bytes) {
  if (refused(file)) return failed();
  std::error_code ignored;
  const bool created = !std::filesystem::exists(file, ignored);
  errno = 0;
  std::FILE* f = detail::openFile(file, "ab");
  if (f == nullptr) return failed();
  bool ok = writeAll(f, bytes) && std::fflush(f) == 0 && detail::syncToDisk(f);
  if (!ok) failed();
  if (std::fclose(f) != 0 && ok) ok = failed();
  if (ok && created) detail::syncFolderOf(file);
  return ok;
}

std::error_code removeFile(const std::filesystem::path& file) {
  std::error_code ec;
  const bool removed = std::filesystem::remove(file, ec);
  // Until the folder is flushed a power cut can bring the file back, and with it a connection
  // that was settled already.
  if (removed) detail::syncFolderOf(file);
  return ec;
}

std::filesystem::path replacementPath(const std::filesystem::path& file) {
  std::filesystem::path temporary = file;
  temporary += ".new";
  return temporary;
}

bool replaceFile(const std::filesystem::path& file, std::string_view bytes) {
  const std::filesystem::path temporary = replacementPath(file);
  if (refused(file)) return failed();
  errno = 0;
  std::FILE* f = detail::openFile(temporary, "wb");
  if (f == nullptr) return failed();
  bool ok = writeAll(f, bytes) && std::fflush(f) == 0 && detail::syncToDisk(f);
  if (!ok) failed();
  if (std::fclose(f) != 0 && ok) ok = failed();
  if (ok) failpoint("replace-file:written");
  if (ok && !detail::moveOver(temporary, file)) ok = failed();
  if (!ok) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
  }
  return ok;
}

bool canOpenForReading(const std::filesystem::path& file) {
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) return false;
  std::FILE* f = detail::openFile(file, "rb");
  if (f == nullptr) return false;
  std::fclose(f);
  return true;
}

}  // namespace pelmora
