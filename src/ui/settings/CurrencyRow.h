#pragma once

#include <array>
#include <functional>

#include <QObject>

#include "settings/CurrencyTable.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace pelmora {

class SettingsStore;
class StoreKey;

// The currency row of the tariffs tab: the currency, its "ИЗМЕНИТЬ" button, the unit the status
// window shows, and the panel that names the custom currency, lying over the row when open.
// A change of currency changes words and signs only, never an amount.
class CurrencyRow : public QObject {
  Q_OBJECT

 public:
  // guard: runs a step that uses the store, showing a store error instead of passing it on.
  CurrencyRow(SettingsStore& store, std::function<bool(const std::function<void()>&)> guard,
              QWidget* page, int top);

  // The dialog is shown: the custom names into the panel's edits, the currency list rebuilt
  // with the custom name, the stored currency and display unit selected. Into the open key.
  void load(StoreKey& program);
  // cbCurrencyChange: the captions and the display list of the selected currency, the stored
  // display unit selected again.
  void cbCurrencyChange();
  void bChangeClick();
  void bCurOkClick();
  void hidePanel();

  int currencyFull() const;    // the selected currency
  int currencyStatus() const;  // the selected display unit

  QLabel* tCurrency = nullptr;
  QComboBox* cbCurrency = nullptr;
  QPushButton* bChange = nullptr;
  QLabel* tCurrencyDisplay = nullptr;
  QComboBox* cbCurrencyDisplay = nullptr;
  QFrame* SetCurrecny = nullptr;
  QLineEdit* sRub = nullptr;
  QLineEdit* eRub = nullptr;
  QLineEdit* sKop = nullptr;
  QLineEdit* eKop = nullptr;
  QLineEdit* eKops = nullptr;
  QPushButton* bCurOk = nullptr;

 signals:
  // The captions of the selected currency, for the prices, the limit and the statistics.
  void captionsChanged(const pelmora::CurrencyCaptions& captions);
  // "ИЗМЕНИТЬ" lets the dialog be confirmed even while a connection is metered.
  void commitAllowed();

 protected:
  // Enter in the panel's edits: see the constructor.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildPanel(QWidget* page, int top);
  // The panel's edits in the order Enter walks them.
  std::array<QLineEdit*, 5> panelOrder() const;

  SettingsStore& m_store;
  std::function<bool(const std::function<void()>&)> m_guard;
};

}  // namespace pelmora
