#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace pelmora {

// One open or save dialog: what it shows and where it starts.
struct FileDialogRequest {
  std::string title;   // UTF-8
  std::string filter;  // UTF-8, "Текстовые файлы (*.txt)"; several separated by ";;"
  // Without the dot ("txt"): added to a chosen name that has no extension of its own.
  std::string defaultExtension;
  std::filesystem::path initialDirectory;  // empty: the dialog's own choice
  std::string initialName;                 // UTF-8 file name proposed in the name field
  // Only files the user may run are listed (with the folders), whatever their names.
  bool executablesOnly = false;
};

// Every file dialog of the program goes through this seam, so tests can answer them.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // Asks for an existing file to read; nothing when the user cancelled.
  virtual std::optional<std::filesystem::path> openFile(const FileDialogRequest& request) = 0;
  // Asks where to write a file; a file that exists is replaced only when the user said so in
  // the dialog. Nothing when the user cancelled.
  virtual std::optional<std::filesystem::path> saveFile(const FileDialogRequest& request) = 0;
};

}  // namespace pelmora
