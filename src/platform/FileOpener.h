#pragma once

#include <filesystem>

namespace pelmora {

// Opens a file in the desktop's default application for its kind, without waiting for it.
class FileOpener {
 public:
  virtual ~FileOpener() = default;
  // Hands the file to its default application; false when none could be started.
  virtual bool open(const std::filesystem::path& file) = 0;
};

}  // namespace pelmora
