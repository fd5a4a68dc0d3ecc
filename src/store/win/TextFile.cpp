#include <io.h>
#include <windows.h>

#include <cstdio>

#include "store/TextFile.h"

namespace pelmora {

namespace {

constexpr UINT kRussianCodePage = 1251;

std::wstring widen(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  const int n =
      MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) {
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  }
  return wide;
}

std::string narrow(const std::wstring& wide, UINT codePage) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n,
                        nullptr, nullptr);
  }
  return text;
}

}  // namespace

// The files are in the Russian code page, the program's text is UTF-8.
std::string toFileText(std::string_view utf8) {
  return narrow(widen(utf8, CP_UTF8), kRussianCodePage);
}

std::string fromFileText(std::string_view bytes) {
  return narrow(widen(bytes, kRussianCodePage), CP_UTF8);
}

namespace detail {

std::FILE* openFile(const std::filesystem::path& file, const char* mode) {
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(file.c_str(), wideMode.c_str());
}

bool syncToDisk(std::FILE* file) {
  return _commit(_fileno(file)) == 0;
}

bool moveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  return MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// Windows gives a normal user no flush of a folder's names: renames are written through
// (moveOver), and a new or deleted name is left to the file system's own journal.
void syncFolderOf(const std::filesystem::path&) {}

}  // namespace detail

}  // namespace pelmora
