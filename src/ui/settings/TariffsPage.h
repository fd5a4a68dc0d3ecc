#pragma once

#include <array>
#include <memory>

#include <QWidget>

#include "settings/CurrencyTable.h"
#include "settings/TariffEditor.h"
#include "settings/TariffTester.h"
#include "platform/MultimediaTimer.h"
#include "ui/settings/NumericField.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace pelmora {

class CurrencyRow;
class MessageBoxes;
class SettingsStore;
class OptionsTabs;
class QtTickBridge;

// "ТАРИФЬI": the week's tariffs one day at a time with their tester, the currency and the monthly
// spending limit.
class TariffsPage : public QWidget {
  Q_OBJECT

 public:
  TariffsPage(OptionsTabs& model, TariffEditor& editor, SettingsStore& store, MessageBoxes& boxes,
              const FieldServices& services, QWidget* parent = nullptr);
  ~TariffsPage() override;

  // Shows what the models hold, after the dialog loaded them.
  void refresh();

  QComboBox* cbWeek = nullptr;
  QPushButton* tCopy = nullptr;
  QPushButton* tTest = nullptr;
  std::array<NumericField*, kTariffFieldCount> fields{};  // eMaxAH ... eMinC, in their order
  std::array<QLabel*, 3> tCURRhour{};                     // the price unit of each row
  QPushButton* tSaveThisDay = nullptr;
  QPushButton* bRestore = nullptr;
  QPlainTextEdit* memoTest = nullptr;
  QProgressBar* tProgress = nullptr;
  MultimediaTimer ttTester;  // 10 ms, periodic: one simulated minute a period

  CurrencyRow* currency = nullptr;  // cbCurrency, bChange, cbCurrencyDisplay, SetCurrecny

  QLabel* tMaxCents = nullptr;
  NumericField* eMaxCents = nullptr;  // with udMaxCents
  QLabel* tCURRmonth = nullptr;       // the limit's unit, named by the chosen currency

  NumericField* field(TariffField which) const { return fields[static_cast<std::size_t>(which)]; }
  const TariffTester& tester() const { return m_tester; }

 public slots:
  void cbWeekChange(int day);
  void tSaveThisDayClick();
  void tCopyClick();
  void bRestoreClick();
  void tTestClick();  // RunTariffTest
  void ttTesterTimer();
  // The dialog is hidden: a running test ends quietly, without its result.
  void stopTest();

 private:
  void buildEditor(const FieldServices& services);
  void refreshEditor();
  void setMemoColour(const QColor& colour);
  void showUnits(const CurrencyCaptions& captions);
  // Runs an editor step that may use the store, then shows what the editor holds.
  void edit(const std::function<void()>& step);

  TariffEditor& m_editor;
  MessageBoxes& m_boxes;
  FieldServices m_services;
  TariffTester m_tester;
  DayTariffs m_tested;  // the values the running test started with
  std::unique_ptr<QtTickBridge> m_bridge;
};

}  // namespace pelmora
