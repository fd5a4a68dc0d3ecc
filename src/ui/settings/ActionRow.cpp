#include "ui/settings/ActionRow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "ui/settings/Accessibility.h"
#include "ui/settings/DialogStyle.h"

namespace pelmora {

ActionRow::ActionRow(ActionControls& model, PickedFile kind, const char* caption,
                     FileDialogs& files, std::function<void(const std::string&)> test,
                     QWidget* parent)
    : QObject(parent), m_model(model), m_kind(kind), m_files(files) {
  check = dialog::checkBox(caption, parent);
  edit = dialog::boldEdit(parent);
  testButton = dialog::glyphButton(
      kind == PickedFile::Sound ? QStringLiteral("SoundTest") : QStringLiteral("AppTest"), parent);
  browseButton = dialog::actionButton("...", parent);
  browseButton->setFixedSize(21, 21);
  // The edit is named by its box's caption; the picture and "..." by what they do.
  const QString what = QString::fromUtf8(caption).remove(QLatin1Char(':'));
  dialog::name(edit, caption);
  dialog::name(testButton, QStringLiteral("ПРОВЕРИТЬ: ") + what);
  dialog::name(browseButton, QString::fromStdString(pickerRequest(kind, {}).title));
  m_row = new QHBoxLayout;
  m_row->setSpacing(3);
  m_row->addWidget(check);
  m_row->addWidget(edit, 1);
  m_row->addWidget(testButton);
  m_row->addWidget(browseButton);
  refresh();

  connect(check, &QCheckBox::toggled, this, [this](bool on) {
    m_model.checked = on;
    m_model.checkedHeld = true;
    enableDependents();
  });
  connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) {
    m_model.text = text.toStdString();
    m_model.textHeld = true;
  });
  // The whole text, as the edit holds it now, not as stored.
  connect(testButton, &QPushButton::clicked, this,
          [this, test = std::move(test)] { test(m_model.text); });
  connect(browseButton, &QPushButton::clicked, this, &ActionRow::browse);
}

void ActionRow::refresh() {
  {
    const QSignalBlocker quiet(check);
    check->setChecked(m_model.checked);
  }
  {
    const QSignalBlocker quiet(edit);
    edit->setText(QString::fromStdString(m_model.text));
    edit->setCursorPosition(0);  // the start of a long path, where the program's name is
  }
  enableDependents();
}

void ActionRow::enableDependents() {
  const bool on = m_model.dependentsEnabled();
  testButton->setEnabled(on);
  edit->setEnabled(on);
  browseButton->setEnabled(on);
}

void ActionRow::browse() {
  if (pickFile(m_files, m_kind, m_model.text)) {
    m_model.textHeld = true;
    const QSignalBlocker quiet(edit);
    edit->setText(QString::fromStdString(m_model.text));
  }
}

}  // namespace pelmora
