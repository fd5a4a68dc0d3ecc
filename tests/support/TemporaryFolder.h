#pragma once

#include <filesystem>
#include <string>

namespace pelmora::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return m_path / name; }

 private:
  std::filesystem::path m_path;
};

// The whole content of a file, or an empty text when it cannot be read.
std::string fileContent(const std::filesystem::path& file);

}  // namespace pelmora::testing
