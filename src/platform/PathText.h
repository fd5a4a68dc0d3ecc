#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace pelmora {

// A path as the program's texts hold it: UTF-8, whatever the system's own encoding of names.
inline std::string utf8Path(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// A path from the program's UTF-8 text (a stored setting, an argument, an answer); on Windows
// std::filesystem::path would otherwise read a narrow text in the system's code page.
inline std::filesystem::path pathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

// The full path as the user would look for it: made absolute where that is possible, in UTF-8.
inline std::string fullPathText(const std::filesystem::path& path) {
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(path, ec);
  return utf8Path(ec ? path : full);
}

}  // namespace pelmora
