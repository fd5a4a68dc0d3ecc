#include "support/TemporaryFolder.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace pelmora::testing {

TemporaryFolder::TemporaryFolder() {
  // A new name until one is free; create_directory does not take a folder that exists.
  std::random_device random;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate = base / ("pelmora-test-" + std::to_string(random()));
    std::error_code ec;
    if (std::filesystem::create_directory(candidate, ec)) {
      m_path = std::move(candidate);
      return;
    }
  }
  throw std::runtime_error("no temporary folder could be made");
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
}

std::string fileContent(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace pelmora::testing
