#pragma once

#include <QWidget>

#include "ui/settings/NumericField.h"

class QLabel;

namespace pelmora {

class OptionsTabs;

// "ТАРИФЬI": the monthly spending limit. The week's tariffs and the currency join it here.
class TariffsPage : public QWidget {
  Q_OBJECT

 public:
  TariffsPage(OptionsTabs& model, const FieldServices& services, QWidget* parent = nullptr);

  void refresh();

  QLabel* tMaxCents = nullptr;
  NumericField* eMaxCents = nullptr;  // with udMaxCents
  QLabel* tCURRmonth = nullptr;       // the limit's unit, named by the chosen currency
};

}  // namespace pelmora
