#include "store/TextFile.h"

#include <system_error>

#include "platform/Failpoint.h"

namespace pelmora {

namespace {

bool writeAll(std::FILE* f, std::string_view bytes) {
  return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
}

}  // namespace

bool appendToFile(const std::filesystem::path& file, std::string_view bytes) {
  std::FILE* f = detail::openFile(file, "ab");
  if (f == nullptr) return false;
  const bool written = writeAll(f, bytes);
  return std::fclose(f) == 0 && written;
}

std::filesystem::path replacementPath(const std::filesystem::path& file) {
  std::filesystem::path temporary = file;
  temporary += ".new";
  return temporary;
}

bool replaceFile(const std::filesystem::path& file, std::string_view bytes) {
  const std::filesystem::path temporary = replacementPath(file);
  std::FILE* f = detail::openFile(temporary, "wb");
  if (f == nullptr) return false;
  bool ok = writeAll(f, bytes) && std::fflush(f) == 0 && detail::syncToDisk(f);
  ok = std::fclose(f) == 0 && ok;
  if (ok) failpoint("replace-file:written");
  ok = ok && detail::moveOver(temporary, file);
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
