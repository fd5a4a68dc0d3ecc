#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include <QObject>

#include "settings/SettingsNumericEdit.h"

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace pelmora {

class UpDown;

// What a numeric edit's widgets need from the dialog.
struct FieldServices {
  // Runs a step that may read the store, showing a store error instead of passing it on.
  std::function<bool(const std::function<void()>&)> guard;
  std::function<void()> beep;
};

// The validator behind a numeric field: what a change of text and an arrow do, and what the edit
// holds.
struct FieldModel {
  std::function<EditResult(const std::string&)> change;
  std::function<EditResult(int)> step;
  std::function<std::string()> text;
  int maxLength = 0;    // what the user may type
  int shownLength = 0;  // the longest number the arrows put there, when longer

  static FieldModel of(NumericEdit& edit);
};

// A numeric edit and its up-down on the screen, bound to the validator that decides what they
// hold. Typing and the arrows go through the validator; the edit then shows what it kept.
class NumericField : public QObject {
  Q_OBJECT

 public:
  NumericField(FieldModel model, FieldServices services, QWidget* parent);
  NumericField(NumericEdit& model, FieldServices services, QWidget* parent)
      : NumericField(FieldModel::of(model), std::move(services), parent) {}

  // The edit and its arrows side by side, for a page's layout.
  QHBoxLayout* row();
  // Shows what the validator holds, after the program set it.
  void refresh();
  // The program writes a number into the edit (the status window dragged): the validator runs.
  void setValue(std::int32_t value);
  // The caption a screen reader names the edit and its up-down by; `label` shows it.
  void setAccessibleName(const QString& caption, QLabel* label = nullptr);

  QLineEdit* edit = nullptr;
  UpDown* upDown = nullptr;

 signals:
  // A valid entry asks the status window's edge to move (eXX and eYY).
  void edgeMoved(std::int32_t position);
  // The validator ran on a typed text or an arrow, whatever it decided.
  void edited();

 private:
  void apply(const std::function<EditResult()>& change);

  FieldModel m_model;
  FieldServices m_services;
};

}  // namespace pelmora
