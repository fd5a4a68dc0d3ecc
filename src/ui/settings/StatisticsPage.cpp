#include "ui/settings/StatisticsPage.h"

#include <utility>

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include "connection/AccountSynchronisation.h"
#include "settings/ReportTexts.h"
#include "platform/Clock.h"
#include "ui/settings/Accessibility.h"
#include "ui/settings/DialogStyle.h"

namespace pelmora {

namespace {

// The grid: row headings on the left, five value columns of 59 pixels, the report buttons on
// the right, the correction below.
constexpr int kHeadingLeft = 4;
constexpr int kHeadingWidth = 200;
constexpr int kColumnsLeft = 208;
constexpr int kColumnWidth = 59;
constexpr int kCellWidth = 55;
constexpr int kRowHeight = 16;
constexpr int kRowsTop = 36;
constexpr int kRowStep = 17;
constexpr int kIndicatorSize = 10;
constexpr int kButtonsLeft = kColumnsLeft + 5 * kColumnWidth + 4;
constexpr int kButtonsWidth = 575 - 4 - kButtonsLeft;
constexpr int kCorrectionTop = kRowsTop + 6 * kRowStep + 5;
constexpr int kCorrectionHeight = 21;
constexpr int kCorrectionGap = 5;

enum Row { AccountRow, CentsRow, DollarsRow, DurationRow, DurationTimeRow, NumberRow };

const QColor kYellow{255, 255, 0};
const QColor kIndicatorRed{255, 0, 0};

int rowTop(int row) {
  return kRowsTop + row * kRowStep;
}

QLabel* sunkenPanel(const char* caption, QWidget* parent) {
  QLabel* panel = dialog::label(caption, parent);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(1);
  return panel;
}

QLabel* rowHeading(const char* caption, int row, QWidget* parent) {
  QLabel* heading = sunkenPanel(caption, parent);
  heading->setGeometry(kHeadingLeft, rowTop(row), kHeadingWidth, kRowHeight);
  heading->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  heading->setIndent(1);
  return heading;
}

QLabel* valueCell(int row, int column, QWidget* parent) {
  QLabel* cell = sunkenPanel("-", parent);
  QFont bold = dialog::smallFont();
  bold.setBold(true);
  cell->setFont(bold);
  cell->setAlignment(Qt::AlignCenter);
  cell->setGeometry(kColumnsLeft + column * kColumnWidth + (kColumnWidth - kCellWidth) / 2,
                    rowTop(row), kCellWidth, kRowHeight);
  return cell;
}

QFrame* indicator(QLabel* heading) {
  auto* light = new QFrame(heading->parentWidget());
  light->setFrameStyle(QFrame::Box | QFrame::Plain);
  light->setLineWidth(1);
  light->setAutoFillBackground(true);
  light->setGeometry(heading->x() + heading->width() - kIndicatorSize - 3,
                     heading->y() + (kRowHeight - kIndicatorSize) / 2, kIndicatorSize,
                     kIndicatorSize);
  return light;
}

void paint(QFrame* light, Indicator colour) {
  QPalette palette = light->palette();
  palette.setColor(QPalette::Window, colour == Indicator::Green    ? dialog::kGreen
                                     : colour == Indicator::Yellow ? kYellow
                                                                   : kIndicatorRed);
  light->setPalette(palette);
}

QString qText(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

}  // namespace

StatisticsPage::StatisticsPage(StatisticsServices services, QWidget* parent)
    : QWidget(parent),
      m_services(std::move(services)),
      m_reports({m_services.store, m_services.boxes, m_services.files, m_services.printer,
                 m_services.printedReport}) {
  setFont(dialog::smallFont());
  build();
  // The cells show "-" until the first refresh; the indicators start red.
  paint(pAccountIndicator, m_cells.accountIndicator);
  paint(pCentsIndicator, m_cells.spendingIndicator);

  connect(bPrint, &QPushButton::clicked, this, &StatisticsPage::bPrintClick);
  connect(bSave, &QPushButton::clicked, this, &StatisticsPage::bSaveClick);
  connect(bCorrect, &QPushButton::clicked, this, &StatisticsPage::bCorrectClick);
  connect(eNewAccount, &QLineEdit::textChanged, this, &StatisticsPage::eNewAccountChange);
  connect(bAccSave, &QPushButton::clicked, this, &StatisticsPage::bAccSaveClick);
  connect(bAccCancel, &QPushButton::clicked, this, &StatisticsPage::bAccCancelClick);
  pAccount->installEventFilter(this);
  plAccount->installEventFilter(this);
}

void StatisticsPage::build() {
  const std::array<const char*, 5> heads{"ПОСЛЕДНЕЕ СОЕДИНЕНИЕ", "ПОСЛЕДНИЙ ДЕНЬ",
                                         "ПОСЛЕДНЯЯ НЕДЕЛЯ", "ПОСЛЕДНИЙ МЕСЯЦ", "ИТОГО"};
  for (std::size_t i = 0; i < heads.size(); ++i) {
    columnHeads[i] = dialog::label(heads[i], this);
    columnHeads[i]->setWordWrap(true);
    columnHeads[i]->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    columnHeads[i]->setGeometry(kColumnsLeft + static_cast<int>(i) * kColumnWidth, 0, kColumnWidth,
                                kRowsTop - 2);
  }

  pAccount = rowHeading(" СОСТОЯНИЕ СЧЕТА (единицы)", AccountRow, this);
  pCents = rowHeading(" ФИНАНСОВЬIЕ ЗАТРАТЬI (единицы)", CentsRow, this);
  pDollars = rowHeading(" ФИНАНСОВЬIЕ ЗАТРАТЬI (валюта)", DollarsRow, this);
  pDuration = rowHeading(" ДЛИТЕЛЬНОСТЬ СОЕДИНЕНИЙ (секунды)", DurationRow, this);
  pDurationTime = rowHeading(" ДЛИТЕЛЬНОСТЬ СОЕДИНЕНИЙ", DurationTimeRow, this);
  pNumber = rowHeading("КОЛИЧЕСТВО СОЕДИНЕНИЙ", NumberRow, this);
  pAccountIndicator = indicator(pAccount);
  pCentsIndicator = indicator(pCents);

  plAccount = valueCell(AccountRow, 4, this);
  for (int column = 0; column < 5; ++column) {
    const auto i = static_cast<std::size_t>(column);
    plCents[i] = valueCell(CentsRow, column, this);
    plDollars[i] = valueCell(DollarsRow, column, this);
    plDuration[i] = valueCell(DurationRow, column, this);
    plDurationTime[i] = valueCell(DurationTimeRow, column, this);
    if (column > 0) plNumber[i - 1] = valueCell(NumberRow, column, this);
  }

  bPrint = dialog::actionButton("ПЕЧАТЬ", this);
  bPrint->setIcon(QIcon(dialog::picture(QStringLiteral("Printer"))));
  bPrint->setIconSize(dialog::picture(QStringLiteral("Printer")).size());
  bPrint->setGeometry(kButtonsLeft, rowTop(CentsRow), kButtonsWidth, 2 * kRowStep - 1);
  bSave = dialog::actionButton("В ФАЙЛ", this);
  bSave->setIcon(QIcon(dialog::picture(QStringLiteral("Savior"))));
  bSave->setIconSize(dialog::picture(QStringLiteral("Savior")).size());
  bSave->setGeometry(kButtonsLeft, rowTop(DurationRow), kButtonsWidth, 2 * kRowStep - 1);

  const int correctionRight = kColumnsLeft + 5 * kColumnWidth;
  bCorrect = dialog::actionButton("КОРРЕКТИРОВАТЬ  СОСТОЯНИЕ  СЧЕТА", this, dialog::kBlack);
  bCorrect->setGeometry(kHeadingLeft, kCorrectionTop, correctionRight - kHeadingLeft,
                        kCorrectionHeight);
  tNewAccount = dialog::label("СОСТОЯНИЕ СЧЕТА (единицы):", this);
  tNewAccount->setGeometry(kHeadingLeft, kCorrectionTop, kHeadingWidth, kCorrectionHeight);
  // The edit and the two buttons share the width of the value columns.
  const int third = (correctionRight - kColumnsLeft - 2 * kCorrectionGap) / 3;
  eNewAccount = dialog::boldEdit(this, 8);
  // Named by its caption, which follows the currency.
  tNewAccount->setBuddy(eNewAccount);
  eNewAccount->setGeometry(kColumnsLeft, kCorrectionTop, third, kCorrectionHeight);
  bAccSave = dialog::actionButton("СОХРАНИТЬ", this, dialog::kGreen);
  bAccSave->setGeometry(kColumnsLeft + third + kCorrectionGap, kCorrectionTop, third,
                        kCorrectionHeight);
  bAccCancel = dialog::actionButton("ОТМЕНИТЬ", this, dialog::kDarkRed);
  bAccCancel->setGeometry(kColumnsLeft + 2 * (third + kCorrectionGap), kCorrectionTop, third,
                          kCorrectionHeight);
  showCorrection(false);
}

void StatisticsPage::refresh() {
  const int day = m_services.clock.now().day;
  const char separator = m_services.decimalSeparator;
  m_services.guard([&] { refreshStatistics(m_services.store, day, separator, m_cells); });
  // What was filled before a failure is shown as well.
  showCells();
  emit refreshed();
}

void StatisticsPage::showCells() {
  plAccount->setText(qText(m_cells.account));
  for (std::size_t i = 0; i < 5; ++i) {
    plCents[i]->setText(qText(m_cells.cents[i]));
    plDollars[i]->setText(qText(m_cells.dollars[i]));
    plDuration[i]->setText(qText(m_cells.duration[i]));
    plDurationTime[i]->setText(qText(m_cells.durationTime[i]));
  }
  for (std::size_t i = 0; i < 4; ++i) plNumber[i]->setText(qText(m_cells.number[i]));
  paint(pAccountIndicator, m_cells.accountIndicator);
  paint(pCentsIndicator, m_cells.spendingIndicator);
}

void StatisticsPage::setUnitCaptions(const QString& account, const QString& majorCost,
                                     const QString& minorCost) {
  pAccount->setText(account);
  tNewAccount->setText(account);
  pDollars->setText(majorCost);
  pCents->setText(minorCost);
}

void StatisticsPage::bPrintClick() {
  const LocalTime today = m_services.clock.now();
  m_services.guard([&] { m_reports.print(m_cells, today); });
}

void StatisticsPage::bSaveClick() {
  const LocalTime today = m_services.clock.now();
  m_services.guard([&] { m_reports.save(m_cells, today); });
}

void StatisticsPage::bCorrectClick() {
  showCorrection(true);
  dialog::showWhole(eNewAccount, plAccount->text());
  eNewAccount->setFocus();
  if (m_services.correctionChanged) m_services.correctionChanged(true);
}

void StatisticsPage::eNewAccountChange(const QString& typed) {
  if (isTypedAccountValid(typed.toStdString(), m_services.decimalSeparator)) return;
  // Replacing the text runs this again; the balance's own text is never replaced by itself.
  dialog::showWhole(eNewAccount, plAccount->text());
  beep();
}

void StatisticsPage::beep() {
  if (m_services.beep) {
    m_services.beep();
  } else {
    QApplication::beep();
  }
}

void StatisticsPage::bAccSaveClick() {
  const std::string typed = eNewAccount->text().toStdString();
  bool saved = false;
  const bool stored = m_services.guard([&] {
    saved = saveCorrectedAccount(m_services.store, m_services.accountLog, typed,
                                 m_services.decimalSeparator);
  });
  // A store that refused the balance, or a text that is no amount (the balance shown was none
  // either), leaves the correction open, to be saved again or cancelled.
  if (!saved) {
    if (stored) beep();
    return;
  }
  m_cells.account = typed;
  plAccount->setText(qText(typed));
  endCorrection();
}

void StatisticsPage::bAccCancelClick() {
  endCorrection();
}

void StatisticsPage::endCorrection() {
  showCorrection(false);
  if (m_services.correctionChanged) m_services.correctionChanged(false);
}

void StatisticsPage::showCorrection(bool shown) {
  for (QWidget* control :
       std::initializer_list<QWidget*>{tNewAccount, eNewAccount, bAccSave, bAccCancel}) {
    control->setVisible(shown);
  }
  bCorrect->setVisible(!shown);
}

bool StatisticsPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick &&
      (watched == pAccount || watched == plAccount)) {
    bCorrectClick();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace pelmora
