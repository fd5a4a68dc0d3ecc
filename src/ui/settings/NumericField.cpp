#include "ui/settings/NumericField.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>

#include "ui/settings/Accessibility.h"
#include "ui/settings/DialogStyle.h"
#include "ui/settings/UpDown.h"

namespace pelmora {

FieldModel FieldModel::of(NumericEdit& edit) {
  return {[&edit](const std::string& text) { return edit.change(text); },
          [&edit](int delta) { return edit.step(delta); }, [&edit] { return edit.text(); },
          edit.maxLength(),
          std::max(edit.maxLength(), static_cast<int>(upDownText(edit.range().maximum).size()))};
}

NumericField::NumericField(FieldModel model, FieldServices services, QWidget* parent)
    : QObject(parent), m_model(std::move(model)), m_services(std::move(services)) {
  edit = dialog::boldEdit(parent, m_model.maxLength);
  // Room for the longest number the edit takes, typed or set by its arrows, and no more.
  const int digits = std::max(m_model.maxLength, m_model.shownLength);
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QString(digits, u'8')) + 12);
  upDown = new UpDown(parent);
  upDown->edit = edit;
  refresh();
  connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) {
    apply([this, typed = text.toStdString()] { return m_model.change(typed); });
    emit edited();
  });
  connect(upDown, &UpDown::stepped, this, [this](int delta) {
    apply([this, delta] { return m_model.step(delta); });
    emit edited();
  });
}

QHBoxLayout* NumericField::row() {
  auto* row = new QHBoxLayout;
  row->setSpacing(0);
  row->addWidget(edit);
  row->addWidget(upDown);
  return row;
}

void NumericField::refresh() {
  const QString text = QString::fromStdString(m_model.text());
  if (edit->text() == text) return;
  const QSignalBlocker quiet(edit);
  dialog::showWhole(edit, text);
}

void NumericField::setValue(std::int32_t value) {
  apply([this, value] { return m_model.change(upDownText(value)); });
}

void NumericField::setAccessibleName(const QString& caption, QLabel* label) {
  dialog::name(edit, caption, label);
  dialog::name(upDown, caption);
}

void NumericField::apply(const std::function<EditResult()>& change) {
  EditResult result;
  // A stored value that cannot be read leaves the refused text in the edit, as the error says.
  if (!m_services.guard([&] { result = change(); })) return;
  const int cursor = edit->cursorPosition();
  refresh();
  edit->setCursorPosition(std::min(cursor, static_cast<int>(edit->text().size())));
  if (result.beep && m_services.beep) m_services.beep();
  if (result.moveEdge) emit edgeMoved(*result.moveEdge);
}

}  // namespace pelmora
