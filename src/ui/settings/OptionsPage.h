#pragma once

#include <QWidget>

#include "ui/settings/NumericField.h"

class QCheckBox;
class QPushButton;

namespace pelmora {

class OptionsTabs;

// "ОПЦИИ": autostart, showing at start, the status window's position, and the buttons that
// clear the statistics, erase and open the connection log and reset every setting (the dialog
// connects them).
class OptionsPage : public QWidget {
  Q_OBJECT

 public:
  OptionsPage(OptionsTabs& model, const FieldServices& services, QWidget* parent = nullptr);

  // Shows what the model holds, after the dialog loaded it.
  void refresh();

  QCheckBox* cbAutoStart = nullptr;
  QCheckBox* cbShowOnStart = nullptr;
  NumericField* eXX = nullptr;  // with udX
  NumericField* eYY = nullptr;  // with udY
  QPushButton* bClear = nullptr;
  QPushButton* bErase = nullptr;
  QPushButton* bView = nullptr;
  QPushButton* bReset = nullptr;

 private:
  OptionsTabs& m_model;
};

}  // namespace pelmora
