#include "ui/settings/UpDown.h"

#include <QToolButton>
#include <QVBoxLayout>

#include "ui/settings/Accessibility.h"

namespace pelmora {

namespace {

QToolButton* arrow(Qt::ArrowType type, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setArrowType(type);
  button->setFocusPolicy(Qt::NoFocus);
  button->setAutoRepeat(true);
  button->setFixedSize(15, 10);
  return button;
}

}  // namespace

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
  dialog::installAccessibility();
  up = arrow(Qt::UpArrow, this);
  down = arrow(Qt::DownArrow, this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(up);
  layout->addWidget(down);
  // Placed by hand on the tariffs tab: no wider than its arrows.
  setFixedSize(15, 20);
  connect(up, &QToolButton::clicked, this, [this] { emit stepped(1); });
  connect(down, &QToolButton::clicked, this, [this] { emit stepped(-1); });
}

}  // namespace pelmora
