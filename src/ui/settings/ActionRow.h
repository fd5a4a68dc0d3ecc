#pragma once

#include <functional>

#include <QObject>

#include "settings/SettingsFilePickers.h"
#include "settings/SettingsTabs.h"

class QCheckBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace pelmora {

class FileDialogs;

// One sound or program of a connect or a disconnect: the check box that switches it, the edit
// with its file or command line, the test button and the "..." picker. The edit, test and pick
// buttons are enabled exactly when the box is checked.
class ActionRow : public QObject {
  Q_OBJECT

 public:
  // test: plays or starts the text given (the same calls the connect actions make).
  ActionRow(ActionControls& model, PickedFile kind, const char* caption, FileDialogs& files,
            std::function<void(const std::string&)> test, QWidget* parent);

  QHBoxLayout* row() const { return m_row; }
  // Shows what the model holds, after the dialog loaded it.
  void refresh();

  QCheckBox* check = nullptr;
  QLineEdit* edit = nullptr;
  QPushButton* testButton = nullptr;
  QPushButton* browseButton = nullptr;

 private:
  void enableDependents();
  void browse();

  ActionControls& m_model;
  PickedFile m_kind;
  FileDialogs& m_files;
  QHBoxLayout* m_row = nullptr;
};

}  // namespace pelmora
