#include "ui/settings/ActionPages.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "settings/SettingsTabs.h"
#include "platform/ProgramVersion.h"
#include "store/ProgramOptions.h"
#include "ui/settings/ActionRow.h"
#include "ui/settings/Accessibility.h"
#include "ui/settings/DialogStyle.h"

namespace pelmora {

namespace {

// The window's check box, then the program and the sound rows with their edits lined up.
QVBoxLayout* actionsLayout(QWidget* page, QCheckBox* window, ActionRow* program, ActionRow* sound) {
  const int boxWidth =
      std::max(program->check->sizeHint().width(), sound->check->sizeHint().width());
  program->check->setMinimumWidth(boxWidth);
  sound->check->setMinimumWidth(boxWidth);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(10, 8, 10, 8);
  layout->setSpacing(6);
  layout->addWidget(window);
  layout->addLayout(program->row());
  layout->addLayout(sound->row());
  return layout;
}

// A caption, a numeric field and its unit on one line.
QHBoxLayout* secondsRow(QWidget* page, const char* caption, NumericField* field) {
  auto* row = new QHBoxLayout;
  auto* text = dialog::label(caption, page);
  text->setMinimumWidth(250);
  field->setAccessibleName(text->text(), text);
  row->addWidget(text);
  row->addLayout(field->row());
  row->addWidget(dialog::label("СЕК.", page));
  row->addStretch(1);
  return row;
}

void setChecked(QCheckBox* box, bool on) {
  const QSignalBlocker quiet(box);
  box->setChecked(on);
}

}  // namespace

ConnectionPage::ConnectionPage(OptionsTabs& model, const FieldServices& services,
                               FileDialogs& files, const ActionTests& tests, QWidget* parent)
    : QWidget(parent), m_model(model) {
  cbShowOnConnect = dialog::checkBox("ПОКАЗЬIВАТЬ  ОКНО  СТАТУСА  ПРИ  ВХОДЕ  В  ИНТЕРНЕТ", this);
  startOn = new ActionRow(model.startOn, PickedFile::Program, "ЗАПУСК ПРИ ВХОДЕ В ИНТЕРНЕТ:", files,
                          tests.startProgram, this);
  playOn = new ActionRow(model.playOn, PickedFile::Sound, "ЗВУК ПРИ ВХОДЕ В ИНТЕРНЕТ:", files,
                         tests.playSound, this);
  eZero = new NumericField(model.eZero, services, this);
  eSecondsPlus = new NumericField(model.eSecondsPlus, services, this);

  QVBoxLayout* page = actionsLayout(this, cbShowOnConnect, startOn, playOn);
  page->addLayout(secondsRow(this, "МАКСИМАЛЬНОЕ  ВРЕМЯ  БЕСПЛАТНОГО  СОЕДИНЕНИЯ:", eZero));
  page->addLayout(secondsRow(this, "ДОБАВОЧНОЕ   ВРЕМЯ   АУТЕНТИФИКАЦИИ:", eSecondsPlus));
  page->addStretch(1);

  connect(cbShowOnConnect, &QCheckBox::toggled, this, [this](bool on) {
    m_model.showOnConnect = on;
    m_model.changedByUser(options::kShowOnConnect.name);
  });
}

void ConnectionPage::refresh() {
  setChecked(cbShowOnConnect, m_model.showOnConnect);
  startOn->refresh();
  playOn->refresh();
  eZero->refresh();
  eSecondsPlus->refresh();
}

DisconnectionPage::DisconnectionPage(OptionsTabs& model, FileDialogs& files,
                                     const ActionTests& tests, QWidget* parent)
    : QWidget(parent), m_model(model) {
  cbHideOnDisconnect =
      dialog::checkBox("СКРЬIТЬ ОКНО СТАТУСА ЧЕРЕЗ  10  СЕКУНД ПОСЛЕ ВЬIХОДА ИЗ ИНТЕРНЕТА", this);
  startOff = new ActionRow(model.startOff, PickedFile::Program,
                           "ЗАПУСК ПРИ ВЬIХОДЕ ИЗ ИНТЕРНЕТА:", files, tests.startProgram, this);
  playOff = new ActionRow(model.playOff, PickedFile::Sound, "ЗВУК ПРИ ВЬIХОДЕ ИЗ ИНТЕРНЕТА:", files,
                          tests.playSound, this);
  cbTrunc =
      dialog::checkBox("ОКРУГЛЯТЬ ВРЕМЯ СОЕДИНЕНИЯ ДО ЦЕЛОЙ МИНУТЬI (В БОЛЬШУЮ СТОРОНУ)", this);

  QVBoxLayout* page = actionsLayout(this, cbHideOnDisconnect, startOff, playOff);
  page->addWidget(cbTrunc);
  page->addStretch(1);

  connect(cbHideOnDisconnect, &QCheckBox::toggled, this, [this](bool on) {
    m_model.hideOnDisconnect = on;
    m_model.changedByUser(options::kHideOnDisconnect.name);
  });
  connect(cbTrunc, &QCheckBox::toggled, this, [this](bool on) {
    m_model.trunc = on;
    m_model.changedByUser(options::kTrunc.name);
  });
}

void DisconnectionPage::refresh() {
  setChecked(cbHideOnDisconnect, m_model.hideOnDisconnect);
  startOff->refresh();
  playOff->refresh();
  setChecked(cbTrunc, m_model.trunc);
}

}  // namespace pelmora
