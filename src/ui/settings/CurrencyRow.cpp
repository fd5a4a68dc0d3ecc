#include "ui/settings/CurrencyRow.h"

#include <algorithm>
#include <array>

#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "store/ProgramOptions.h"
#include "store/SettingsStore.h"
#include "store/StoreKeys.h"
#include "ui/settings/Accessibility.h"
#include "ui/settings/DialogStyle.h"

namespace pelmora {

namespace {

QLineEdit* panelEdit(QWidget* panel, int x, int width, int maxLength) {
  QLineEdit* edit = dialog::boldEdit(panel, maxLength);
  edit->setGeometry(x, 2, width, 19);
  return edit;
}

QLabel* panelLabel(const char* caption, QWidget* panel, int x, int width) {
  QLabel* label = dialog::label(caption, panel);
  label->setGeometry(x, 2, width, 19);
  return label;
}

// The names are upper case whatever is typed.
void forceUpperCase(QLineEdit* edit) {
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
    const QString upper = QString::fromStdString(upperText(text.toStdString()));
    if (upper == text) return;
    const int cursor = edit->cursorPosition();
    edit->setText(upper);
    edit->setCursorPosition(cursor);
  });
}

}  // namespace

CurrencyRow::CurrencyRow(SettingsStore& store,
                         std::function<bool(const std::function<void()>&)> guard, QWidget* page,
                         int top)
    : QObject(page), m_store(store), m_guard(std::move(guard)) {
  tCurrency = dialog::label("ВАЛЮТА:", page);
  tCurrency->setGeometry(19, top + 4, 45, 15);
  cbCurrency = new QComboBox(page);
  cbCurrency->setGeometry(64, top, 125, 19);
  bChange = dialog::actionButton("ИЗМЕНИТЬ", page);
  bChange->setGeometry(194, top, 65, 19);
  tCurrencyDisplay = dialog::label("ОТОБРАЖАТЬ  В  ОКНЕ  СТАТУСА", page);
  tCurrencyDisplay->setGeometry(269, top + 4, 160, 15);
  cbCurrencyDisplay = new QComboBox(page);
  cbCurrencyDisplay->setGeometry(429, top, 135, 19);
  buildPanel(page, top);
  dialog::name(cbCurrency, tCurrency->text(), tCurrency);
  dialog::name(cbCurrencyDisplay, tCurrencyDisplay->text(), tCurrencyDisplay);

  connect(cbCurrency, &QComboBox::activated, this, &CurrencyRow::cbCurrencyChange);
  connect(bChange, &QPushButton::clicked, this, &CurrencyRow::bChangeClick);
  connect(bCurOk, &QPushButton::clicked, this, &CurrencyRow::bCurOkClick);
  // Enter walks the panel's fields and in the last one stores the currency; it goes no further,
  // to the dialog, where it would confirm the dialog.
  for (QLineEdit* edit : panelOrder()) edit->installEventFilter(this);
}

std::array<QLineEdit*, 5> CurrencyRow::panelOrder() const {
  return {sRub, eRub, sKop, eKop, eKops};
}

bool CurrencyRow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    const std::array<QLineEdit*, 5> order = panelOrder();
    const auto at = std::find(order.begin(), order.end(), watched);
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && at != order.end()) {
      if (at + 1 == order.end()) {
        bCurOkClick();
      } else {
        (*(at + 1))->setFocus();
      }
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void CurrencyRow::buildPanel(QWidget* page, int top) {
  SetCurrecny = new QFrame(page);
  SetCurrecny->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  SetCurrecny->setAutoFillBackground(true);
  SetCurrecny->setGeometry(18, top - 3, 546, 25);
  QLabel* major = panelLabel("ВАЛЮТА:", SetCurrecny, 3, 45);
  sRub = panelEdit(SetCurrecny, 48, 22, 2);
  eRub = panelEdit(SetCurrecny, 70, 108, 0);
  QLabel* minor = panelLabel("1/100 ВАЛЮТЬI:", SetCurrecny, 182, 72);
  sKop = panelEdit(SetCurrecny, 254, 22, 2);
  eKop = panelEdit(SetCurrecny, 276, 82, 0);
  QLabel* genitive = panelLabel("Род. ПАДЕЖ:", SetCurrecny, 360, 62);
  genitive->setAlignment(Qt::AlignCenter);
  eKops = panelEdit(SetCurrecny, 422, 88, 0);
  // Each caption stands before a sign and a name: the edits say which they are.
  dialog::name(sRub, major->text() + QStringLiteral(" ЗНАК"), major);
  dialog::name(eRub, major->text() + QStringLiteral(" НАЗВАНИЕ"));
  dialog::name(sKop, minor->text() + QStringLiteral(" ЗНАК"), minor);
  dialog::name(eKop, minor->text() + QStringLiteral(" НАЗВАНИЕ"));
  dialog::name(eKops, minor->text() + QLatin1Char(' ') + genitive->text(), genitive);
  bCurOk = dialog::actionButton("OK", SetCurrecny, dialog::kBlack);
  bCurOk->setGeometry(514, 2, 28, 20);
  for (QLineEdit* name : {eRub, eKop, eKops}) forceUpperCase(name);
  SetCurrecny->hide();
}

void CurrencyRow::load(StoreKey& program) {
  const CustomCurrency custom = readCustomCurrency(program);
  dialog::showWhole(eRub, QString::fromStdString(custom.name));
  dialog::showWhole(eKop, QString::fromStdString(custom.minorName));
  dialog::showWhole(eKops, QString::fromStdString(custom.minorGenitive));
  dialog::showWhole(sRub, QString::fromStdString(custom.mainSign));
  dialog::showWhole(sKop, QString::fromStdString(custom.subSign));
  const QSignalBlocker quiet(cbCurrency);
  cbCurrency->clear();
  for (const char* name : kCurrencyNames) cbCurrency->addItem(QString::fromUtf8(name));
  cbCurrency->addItem(QString::fromStdString(custom.name));
  cbCurrency->setCurrentIndex(read(program, options::kCurrencyFull));
  const int status = read(program, options::kCurrencyStatus);
  cbCurrencyDisplay->setCurrentIndex(status);
}

void CurrencyRow::cbCurrencyChange() {
  m_guard([this] {
    auto program = openKey(m_store, kProgramKey);
    const CurrencyCaptions captions =
        currencyCaptions(cbCurrency->currentIndex(), readCustomCurrency(*program));
    cbCurrencyDisplay->clear();
    cbCurrencyDisplay->addItem(QString::fromStdString(captions.displayMinor));
    cbCurrencyDisplay->addItem(QString::fromStdString(captions.displayMajor));
    bChange->setEnabled(captions.changeEnabled);
    emit captionsChanged(captions);
    // The stored unit, not the one picked in the list before the currency changed.
    cbCurrencyDisplay->setCurrentIndex(read(*program, options::kCurrencyStatus));
    program->CloseKey();
  });
}

void CurrencyRow::bChangeClick() {
  SetCurrecny->show();
  SetCurrecny->raise();
  emit commitAllowed();
  sRub->setFocus();
}

void CurrencyRow::bCurOkClick() {
  const CustomCurrency custom{eRub->text().toStdString(), eKop->text().toStdString(),
                              eKops->text().toStdString(), sRub->text().toStdString(),
                              sKop->text().toStdString()};
  if (!m_guard([&] { saveCustomCurrency(m_store, custom); })) return;
  cbCurrencyChange();
  SetCurrecny->hide();
}

void CurrencyRow::hidePanel() {
  SetCurrecny->hide();
}

int CurrencyRow::currencyFull() const {
  return cbCurrency->currentIndex();
}

int CurrencyRow::currencyStatus() const {
  return cbCurrencyDisplay->currentIndex();
}

}  // namespace pelmora
