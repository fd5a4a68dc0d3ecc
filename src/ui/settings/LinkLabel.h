#pragma once

#include <QLabel>

namespace pelmora {

// A label that works as a link: Tab reaches it (a click does not take the focus), Enter or Space
// opens it, a focus frame shows where the keyboard is, and a screen reader hears it as a link it
// can press. The mouse is its page's to handle.
class LinkLabel : public QLabel {
  Q_OBJECT

 public:
  explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

  // Opens the link, as Enter on it does.
  void activate() { emit activated(); }

 signals:
  void activated();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace pelmora
