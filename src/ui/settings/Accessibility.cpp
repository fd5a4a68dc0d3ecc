#include "ui/settings/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "ui/settings/LinkLabel.h"
#include "ui/settings/UpDown.h"

namespace pelmora::dialog {

namespace {

// An up-down: one spin button named like its edit, whose value is the edit's number and whose
// actions are its arrows. The arrows are not read apart.
class SpinButton final : public QAccessibleWidget {
 public:
  explicit SpinButton(UpDown* upDown) : QAccessibleWidget(upDown, QAccessible::SpinBox) {}

  int childCount() const override { return 0; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value && upDown()->edit != nullptr) return upDown()->edit->text();
    return QAccessibleWidget::text(t);
  }

  QStringList actionNames() const override {
    return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action == increaseAction()) {
      upDown()->up->click();
    } else if (action == decreaseAction()) {
      upDown()->down->click();
    } else {
      QAccessibleWidget::doAction(action);
    }
  }

 private:
  UpDown* upDown() const { return static_cast<UpDown*>(widget()); }
};

// A link of the information tab: named by its text, pressed as Enter on it.
class Link final : public QAccessibleWidget {
 public:
  explicit Link(LinkLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return label()->text();
    return QAccessibleWidget::text(t);
  }

  QStringList actionNames() const override {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action == pressAction()) {
      label()->activate();
    } else {
      QAccessibleWidget::doAction(action);
    }
  }

 private:
  LinkLabel* label() const { return static_cast<LinkLabel*>(widget()); }
};

QAccessibleInterface* dialogAccessible(const QString& className, QObject* object) {
  if (className == QLatin1String(UpDown::staticMetaObject.className())) {
    return new SpinButton(static_cast<UpDown*>(object));
  }
  if (className == QLatin1String(LinkLabel::staticMetaObject.className())) {
    return new Link(static_cast<LinkLabel*>(object));
  }
  return nullptr;
}

}  // namespace

void installAccessibility() {
  static const bool installed = (QAccessible::installFactory(dialogAccessible), true);
  (void)installed;
}

void name(QWidget* control, const QString& caption, QLabel* label) {
  control->setAccessibleName(caption);
  if (label != nullptr) label->setBuddy(control);
}

void name(QWidget* control, const char* caption, QLabel* label) {
  name(control, QString::fromUtf8(caption), label);
}

}  // namespace pelmora::dialog
