#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileDialogs.h"

namespace pelmora {

// Answers file dialogs from a list instead of showing them: one UTF-8 path per dialog, one per
// line ('\n', which no path the program is tested with holds; a CR before it is dropped). An
// empty line is Cancel, and so is every dialog once the list is used up. A relative path is taken
// inside the dialog's initial directory, and a saved name without an extension gets the default
// one, as the real dialog does; a save answer counts as confirmed, also over an existing file.
// Each dialog is written to a stream as "title | filter". Chosen when PELMORA_FILES is set.
class ScriptedFileDialogs final : public FileDialogs {
 public:
  ScriptedFileDialogs(const std::string& answers, std::ostream& transcript);
  std::optional<std::filesystem::path> openFile(const FileDialogRequest& request) override;
  std::optional<std::filesystem::path> saveFile(const FileDialogRequest& request) override;

 private:
  std::optional<std::filesystem::path> answer(const FileDialogRequest& request, bool saving);

  std::vector<std::string> m_answers;
  std::size_t m_next = 0;
  std::ostream& m_transcript;
};

}  // namespace pelmora
