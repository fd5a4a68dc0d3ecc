#include "settings/SettingsFilePickers.h"

#include <vector>

#include "settings/SettingsTexts.h"
#include "platform/PathText.h"

namespace pelmora {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::filesystem::path utf8Path(std::string_view text) {
  return pathFromUtf8(text);
}

}  // namespace

std::string dialogFilter(std::string_view pairs) {
  const std::vector<std::string_view> parts = split(pairs, '|');
  std::string filter;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (!filter.empty()) filter += ";;";
    filter += parts[i];
    filter += " (";
    const std::vector<std::string_view> patterns = split(parts[i + 1], ';');
    for (std::size_t p = 0; p < patterns.size(); ++p) {
      if (p > 0) filter += ' ';
      filter += patterns[p];
    }
    filter += ')';
  }
  return filter;
}

std::filesystem::path pickerFolder(const std::string& editText) {
  const auto separator = static_cast<char>(std::filesystem::path::preferred_separator);
  const std::size_t last = editText.rfind(separator);
  return utf8Path(last == std::string::npos ? std::string_view(editText)
                                            : std::string_view(editText).substr(0, last));
}

FileDialogRequest pickerRequest(PickedFile kind, const std::string& editText) {
  FileDialogRequest request;
  if (kind == PickedFile::Sound) {
    request.title = "Укажите звуковой файл...";
    request.filter = dialogFilter(soundPickerFilter());
    request.defaultExtension = "wav";
  } else {
    request.title = "Укажите программу...";
    request.filter = dialogFilter(programPickerFilter());
    request.executablesOnly = programPickerExecutablesOnly();
    request.defaultExtension = programPickerExtension();
  }
  request.initialDirectory = pickerFolder(editText);
  return request;
}

std::string pickedText(const std::filesystem::path& chosen) {
  return utf8Path(chosen);
}

bool pickFile(FileDialogs& dialogs, PickedFile kind, std::string& editText) {
  const auto chosen = dialogs.openFile(pickerRequest(kind, editText));
  if (!chosen) return false;
  editText = pickedText(*chosen);
  return true;
}

}  // namespace pelmora
