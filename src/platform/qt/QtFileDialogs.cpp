#include "platform/qt/QtFileDialogs.h"

#include <QFileDialog>
#include <QString>
#include <QStringList>

#include "platform/qt/QtPathText.h"

namespace pelmora {

std::optional<std::filesystem::path> QtFileDialogs::openFile(const FileDialogRequest& request) {
  return ask(request, false);
}

std::optional<std::filesystem::path> QtFileDialogs::saveFile(const FileDialogRequest& request) {
  return ask(request, true);
}

std::optional<std::filesystem::path> QtFileDialogs::ask(const FileDialogRequest& request,
                                                        bool saving) {
  QFileDialog dialog(m_owner, QString::fromStdString(request.title),
                     pathText(request.initialDirectory), QString::fromStdString(request.filter));
  // The same dialog on every desktop, and one that tests can drive offscreen.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
  if (!request.initialName.empty()) dialog.selectFile(QString::fromStdString(request.initialName));
  if (request.executablesOnly) {
    dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDotAndDotDot);
  }
  // Confirming an overwrite is left on: accepting an existing name asks before the dialog closes.
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return pathFromText(chosen.first());
}

}  // namespace pelmora
