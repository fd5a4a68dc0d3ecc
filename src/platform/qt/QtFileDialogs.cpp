#include "platform/qt/QtFileDialogs.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>
#include <QString>
#include <QStringList>

#include "platform/qt/QtPathText.h"

namespace pelmora {

namespace {

// The folders and the files the user may run. The dialog's own QDir::Executable filter cannot do
// this: its model then hides every readable and writable entry, that is all of them.
class ProgramsAndFolders final : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (files == nullptr) return true;
    const QModelIndex entry = files->index(row, 0, parent);
    return files->isDir(entry) || files->permissions(entry).testFlag(QFileDevice::ExeUser);
  }
};

}  // namespace

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
  if (request.executablesOnly) dialog.setProxyModel(new ProgramsAndFolders(&dialog));
  // Confirming an overwrite is left on: accepting an existing name asks before the dialog closes.
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return pathFromText(chosen.first());
}

}  // namespace pelmora
