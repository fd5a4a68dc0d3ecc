#include "ui/settings/OptionsPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "settings/SettingsTabs.h"
#include "platform/ProgramVersion.h"
#include "store/ProgramOptions.h"
#include "settings/SettingsTexts.h"
#include "ui/settings/Accessibility.h"
#include "ui/settings/DialogStyle.h"

namespace pelmora {

OptionsPage::OptionsPage(OptionsTabs& model, const FieldServices& services, QWidget* parent)
    : QWidget(parent), m_model(model) {
  cbAutoStart = dialog::checkBox(autoStartCaption(), this);
  cbShowOnStart = dialog::checkBox("ПОКАЗЬIВАТЬ  ОКНО  СТАТУСА  ПРИ  ЗАПУСКЕ  ПРОГРАММЬI", this);
  eXX = new NumericField(model.eXX, services, this);
  eYY = new NumericField(model.eYY, services, this);
  bClear = dialog::actionButton("ОЧИСТИТЬ  СТАТИСТИКУ  СОЕДИНЕНИЙ", this, dialog::kDarkRed);
  bErase = dialog::actionButton("ОЧИСТИТЬ  LOG-ФАЙЛ  СОЕДИНЕНИЙ", this, dialog::kDarkRed);
  bView = dialog::actionButton("ОТКРЬIТЬ LOG-ФАЙЛ СОЕДИНЕНИЙ", this, dialog::kGreen);
  bReset = dialog::actionButton("СБРОСИТЬ ВСЕ НАСТРОЙКИ", this, dialog::kRed);

  auto* coords = new QHBoxLayout;
  QLabel* tCoords = dialog::label("КООРДИНАТЬI  ОКНА  СТАТУСА:", this);
  QLabel* tx = dialog::label("X =", this);
  QLabel* ty = dialog::label("Y =", this);
  eXX->setAccessibleName(tCoords->text() + QLatin1Char(' ') + tx->text(), tx);
  eYY->setAccessibleName(tCoords->text() + QLatin1Char(' ') + ty->text(), ty);
  coords->addWidget(tCoords);
  coords->addSpacing(12);
  coords->addWidget(tx);
  coords->addLayout(eXX->row());
  coords->addSpacing(12);
  coords->addWidget(ty);
  coords->addLayout(eYY->row());
  coords->addStretch(1);

  auto* buttons = new QGridLayout;
  buttons->setSpacing(4);
  buttons->addWidget(bClear, 0, 0);
  buttons->addWidget(bErase, 0, 1);
  buttons->addWidget(bView, 1, 0);
  buttons->addWidget(bReset, 1, 1);

  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(10, 8, 10, 8);
  page->setSpacing(4);
  page->addWidget(cbAutoStart);
  page->addWidget(cbShowOnStart);
  page->addLayout(coords);
  page->addStretch(1);
  page->addLayout(buttons);

  connect(cbAutoStart, &QCheckBox::toggled, this, [this](bool on) {
    m_model.autoStart = on;
    m_model.changedByUser(kProgramTitle);
  });
  connect(cbShowOnStart, &QCheckBox::toggled, this, [this](bool on) {
    m_model.showOnStart = on;
    m_model.changedByUser(options::kShowOnStart.name);
  });
}

void OptionsPage::refresh() {
  for (auto [box, on] :
       {std::pair{cbAutoStart, m_model.autoStart}, std::pair{cbShowOnStart, m_model.showOnStart}}) {
    const QSignalBlocker quiet(box);
    box->setChecked(on);
  }
  eXX->refresh();
  eYY->refresh();
}

}  // namespace pelmora
