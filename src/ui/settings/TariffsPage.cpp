#include "ui/settings/TariffsPage.h"

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "settings/SettingsTabs.h"
#include "platform/MessageBoxes.h"
#include "platform/qt/QtTickBridge.h"
#include "ui/settings/Accessibility.h"
#include "ui/settings/CurrencyRow.h"
#include "ui/settings/DialogStyle.h"
#include "ui/settings/UpDown.h"

namespace pelmora {

namespace {

constexpr int kTop = 7;  // the day, copy and test row
constexpr int kRowTop = 32;
constexpr int kButtonsTop = 95;  // save and restore
constexpr int kCurrencyTop = 120;
// Where the tester's memo begins, right of the rows.
constexpr int kColumnsEnd = 412;
constexpr int kLimitTop = 143;
constexpr int kRowStep = 20;
// The columns of a row: begin hour and minute, end hour and minute, price.
constexpr std::array<int, 5> kColumns{59, 104, 159, 204, 246};

const QColor kBlack{0, 0, 0};
const QColor kRed{255, 0, 0};
const QColor kGreen{0, 128, 0};

// The memo's scroll bar: the application's style with a handle that may be as short as the
// position it shows needs.
class ShortHandleStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_ScrollBarSliderMin) return 6;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

QLabel* placedLabel(const char* caption, QWidget* parent, int x, int y) {
  QLabel* label = dialog::label(caption, parent);
  label->move(x, y);
  return label;
}

}  // namespace

TariffsPage::TariffsPage(OptionsTabs& model, TariffEditor& editor, SettingsStore& store,
                         MessageBoxes& boxes, const FieldServices& services, QWidget* parent)
    : QWidget(parent), m_editor(editor), m_boxes(boxes), m_services(services) {
  buildEditor(services);
  currency = new CurrencyRow(store, services.guard, this, kCurrencyTop);
  connect(currency, &CurrencyRow::captionsChanged, this, &TariffsPage::showUnits);

  tMaxCents = placedLabel("МАКСИМАЛЬНЬIЕ  ФИНАНСОВЬIЕ  ЗАТРАТЫ:", this, 18, kLimitTop + 3);
  eMaxCents = new NumericField(model.eMaxCents, services, this);
  eMaxCents->setAccessibleName(tMaxCents->text(), tMaxCents);
  const int left = tMaxCents->x() + tMaxCents->sizeHint().width() + 6;
  eMaxCents->edit->move(left, kLimitTop);
  eMaxCents->upDown->move(left + eMaxCents->edit->width(), kLimitTop - 1);
  tCURRmonth = placedLabel("", this, left + eMaxCents->edit->width() + 20, kLimitTop + 3);
  tCURRmonth->resize(200, 15);

  m_bridge = std::make_unique<QtTickBridge>(ttTester, this);
  m_bridge->setOnTick([this] { ttTesterTimer(); });
}

TariffsPage::~TariffsPage() {
  ttTester.setEnabled(false);
}

void TariffsPage::buildEditor(const FieldServices& services) {
  QLabel* tWeek = placedLabel("ДЕНЬ НЕДЕЛИ:", this, 18, kTop + 4);
  cbWeek = new QComboBox(this);
  dialog::name(cbWeek, tWeek->text(), tWeek);
  for (int day = 0; day < 7; ++day) cbWeek->addItem(QString::fromUtf8(TariffEditor::dayName(day)));
  cbWeek->setGeometry(94, kTop, 130, 20);
  tCopy = dialog::actionButton("КОПИРОВАТЬ ВО ВСЕ ДНИ", this);
  tCopy->setGeometry(229, kTop, 180, 20);
  tTest = dialog::actionButton("ТЕСТИРОВАТЬ", this);
  tTest->setGeometry(414, kTop, 150, 20);

  const std::array<const char*, 3> zones{"#1", "#2", "#3"};
  // What a screen reader calls each field of a row, after the zone.
  const std::array<const char*, kColumns.size()> columnNames{"С: ЧАСЫ", "С: МИНУТЫ", "ДО: ЧАСЫ",
                                                             "ДО: МИНУТЫ", "ЦЕНА ЗА ЧАС"};
  for (std::size_t row = 0; row < 3; ++row) {
    const int top = kRowTop + static_cast<int>(row) * kRowStep;
    placedLabel(zones[row], this, 29, top + 3);
    placedLabel("С", this, 47, top + 3);
    placedLabel(":", this, 99, top + 3);
    QLabel* until = placedLabel("ДО", this, 141, top + 3);
    placedLabel(":", this, 199, top + 3);
    for (std::size_t column = 0; column < kColumns.size(); ++column) {
      const auto which = static_cast<TariffField>(row * kColumns.size() + column);
      FieldModel model{
          [this, which](const std::string& text) { return m_editor.change(which, text); },
          [this, which](int delta) { return m_editor.step(which, delta); },
          [this, which] { return m_editor.text(which); }, m_editor.maxLength(which)};
      auto* field = new NumericField(std::move(model), services, this);
      field->setAccessibleName(QString::fromUtf8(zones[row]) + QLatin1Char(' ') +
                               QString::fromUtf8(columnNames[column]));
      field->edit->move(kColumns[column], top);
      field->edit->setFixedHeight(18);
      field->upDown->move(kColumns[column] + field->edit->width(), top - 1);
      connect(field, &NumericField::edited, this, &TariffsPage::refreshEditor);
      fields[static_cast<std::size_t>(which)] = field;
    }
    // "ДО" follows the begin minute's arrows, however wide the font made its field.
    const UpDown* beginMinute = fields[row * kColumns.size() + 1]->upDown;
    until->move(std::max(until->x(), beginMinute->x() + beginMinute->width() + 1), top + 3);
    // The unit follows the price field's arrows, however wide the font made the field.
    const UpDown* price = fields[row * kColumns.size() + kColumns.size() - 1]->upDown;
    tCURRhour[row] = placedLabel("ЕДИНИЦ / ЧАС", this, price->x() + price->width() + 4, top + 3);
    tCURRhour[row]->resize(kColumnsEnd - tCURRhour[row]->x(), 15);
  }

  tSaveThisDay = dialog::actionButton("СОХРАНИТЬ  ТАРИФЬI  ДЛЯ  ВЬIБРАННОГО  ДНЯ  НЕДЕЛИ", this);
  tSaveThisDay->setGeometry(18, kButtonsTop, 286, 21);
  bRestore = dialog::actionButton("ВЕРНУТЬ", this);
  bRestore->setGeometry(309, kButtonsTop, 100, 21);

  memoTest = new QPlainTextEdit(this);
  dialog::name(memoTest, "ТЕСТ ТАРИФОВ");
  memoTest->setReadOnly(true);
  memoTest->setFocusPolicy(Qt::NoFocus);
  memoTest->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memoTest->setGeometry(414, kRowTop, 150, 66);
  QPalette palette = memoTest->palette();
  palette.setColor(QPalette::Base, QColor(192, 192, 192));
  memoTest->setPalette(palette);
  // The silver is the memo's own: its scroll bar keeps the colours of the other scroll bars,
  // whose groove and handle the silver would swap.
  QScrollBar* bar = memoTest->verticalScrollBar();
  dialog::name(bar, "ПРОКРУТКА ТЕСТА ТАРИФОВ");
  QPalette standard = QApplication::palette(bar);
  standard.setResolveMask(~QPalette::ResolveMask{0});  // every colour its own, none inherited
  bar->setPalette(standard);
  // A day is 1440 lines in a memo of five: the style's least handle length would fill most of
  // the short groove, and the groove's rest would read as the handle, at the wrong end.
  auto* shortHandle = new ShortHandleStyle;
  shortHandle->setParent(bar);
  bar->setStyle(shortHandle);
  tProgress = new QProgressBar(this);
  dialog::name(tProgress, "ХОД ТЕСТА ТАРИФОВ (ЧАСЫ)");
  tProgress->setRange(0, 24);
  tProgress->setValue(0);
  tProgress->setTextVisible(false);
  tProgress->setGeometry(414, kButtonsTop + 4, 150, 12);

  connect(cbWeek, &QComboBox::activated, this, &TariffsPage::cbWeekChange);
  connect(tCopy, &QPushButton::clicked, this, &TariffsPage::tCopyClick);
  connect(tTest, &QPushButton::clicked, this, &TariffsPage::tTestClick);
  connect(tSaveThisDay, &QPushButton::clicked, this, &TariffsPage::tSaveThisDayClick);
  connect(bRestore, &QPushButton::clicked, this, &TariffsPage::bRestoreClick);
  refreshEditor();
}

void TariffsPage::refresh() {
  for (NumericField* field : fields) field->refresh();
  refreshEditor();
  eMaxCents->refresh();
}

void TariffsPage::refreshEditor() {
  {
    const QSignalBlocker quiet(cbWeek);
    cbWeek->setCurrentIndex(m_editor.selectedDay());
  }
  const bool idle = !m_editor.testRunning();
  for (NumericField* field : fields) {
    field->edit->setEnabled(idle);
    field->upDown->setEnabled(idle);
  }
  cbWeek->setEnabled(idle);
  tCopy->setEnabled(idle);
  tSaveThisDay->setEnabled(idle && m_editor.saveEnabled());
  bRestore->setEnabled(m_editor.restoreEnabled());
  tTest->setEnabled(idle && m_editor.testEnabled());
}

void TariffsPage::edit(const std::function<void()>& step) {
  m_services.guard(step);
  for (NumericField* field : fields) field->refresh();
  refreshEditor();
}

void TariffsPage::cbWeekChange(int day) {
  edit([this, day] { m_editor.selectDay(day); });
}

void TariffsPage::tSaveThisDayClick() {
  edit([this] { m_editor.saveThisDay(); });
}

void TariffsPage::tCopyClick() {
  edit([this] { m_editor.copyToAllDays(); });
}

void TariffsPage::bRestoreClick() {
  edit([this] { m_editor.restore(); });
}

void TariffsPage::tTestClick() {
  // The test walks the values typed when it started, whatever happens to the fields meanwhile.
  m_tested = m_editor.typed();
  m_tester.start();
  tProgress->setValue(0);
  memoTest->clear();
  setMemoColour(kBlack);
  m_editor.testStarted();
  refreshEditor();
  ttTester.setEnabled(true);
}

void TariffsPage::ttTesterTimer() {
  if (!m_tester.running()) return;
  const TesterTick tick = m_tester.tick(m_tested);
  if (tick.finished) {
    // Before anything is shown: the periods that come while the box is open do nothing.
    ttTester.setEnabled(false);
    m_editor.testFinished();
    refreshEditor();
  }
  tProgress->setValue(tick.progress);
  if (tick.uncovered) setMemoColour(kRed);
  memoTest->appendPlainText(QString::fromStdString(tick.line));
  if (!tick.finished) return;
  if (!m_tester.red()) setMemoColour(kGreen);
  m_boxes.show(TariffTester::endBox(m_tester.red()));
}

void TariffsPage::stopTest() {
  if (!m_tester.running()) return;
  ttTester.setEnabled(false);
  m_tester.stop();
  m_editor.testFinished();
  refreshEditor();
}

void TariffsPage::showUnits(const CurrencyCaptions& captions) {
  for (QLabel* unit : tCURRhour) unit->setText(QString::fromStdString(captions.perHour));
  tCURRmonth->setText(QString::fromStdString(captions.perMonth));
}

void TariffsPage::setMemoColour(const QColor& colour) {
  QPalette palette = memoTest->palette();
  palette.setColor(QPalette::Text, colour);
  memoTest->setPalette(palette);
}

}  // namespace pelmora
