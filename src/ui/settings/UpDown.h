#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace pelmora {

// The two small arrows beside a numeric edit. Each click (repeated while held) asks for a step
// of +1 or -1; the edit's validator decides what the step does. A screen reader hears one spin
// button with the edit's number.
class UpDown : public QWidget {
  Q_OBJECT

 public:
  explicit UpDown(QWidget* parent = nullptr);

  QToolButton* up = nullptr;
  QToolButton* down = nullptr;
  const QLineEdit* edit = nullptr;  // the edit whose number it steps

 signals:
  void stepped(int delta);
};

}  // namespace pelmora
