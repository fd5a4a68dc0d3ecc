#include "ui/settings/TariffsPage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/SettingsTabs.h"
#include "ui/settings/DialogStyle.h"

namespace pelmora {

TariffsPage::TariffsPage(OptionsTabs& model, const FieldServices& services, QWidget* parent)
    : QWidget(parent) {
  tMaxCents = dialog::label("МАКСИМАЛЬНЬIЕ  ФИНАНСОВЬIЕ  ЗАТРАТЫ:", this);
  eMaxCents = new NumericField(model.eMaxCents, services, this);
  tCURRmonth = dialog::label("", this);

  auto* limit = new QHBoxLayout;
  limit->addWidget(tMaxCents);
  limit->addLayout(eMaxCents->row());
  limit->addWidget(tCURRmonth);
  limit->addStretch(1);

  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(10, 8, 10, 8);
  page->addStretch(1);
  page->addLayout(limit);
}

void TariffsPage::refresh() {
  eMaxCents->refresh();
}

}  // namespace pelmora
