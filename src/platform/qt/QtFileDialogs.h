#pragma once

#include "platform/FileDialogs.h"

class QWidget;

namespace pelmora {

// Qt's own file dialogs (not the desktop's native ones), modal over their owner window. Saving
// over an existing file asks first: the dialog's own question.
class QtFileDialogs final : public FileDialogs {
 public:
  explicit QtFileDialogs(QWidget* owner = nullptr) : m_owner(owner) {}

  std::optional<std::filesystem::path> openFile(const FileDialogRequest& request) override;
  std::optional<std::filesystem::path> saveFile(const FileDialogRequest& request) override;

 private:
  std::optional<std::filesystem::path> ask(const FileDialogRequest& request, bool saving);

  QWidget* m_owner;
};

}  // namespace pelmora
