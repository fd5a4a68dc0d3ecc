// The settings dialog where a user could lose a value or money: numbers wider than an edit's
// typing limit, a value that cannot be read, a balance the arithmetic cannot hold, a tariff test
// or a balance correction open while the dialog is closed, and how its controls look.

#include <QLabel>
#include <QPalette>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

#include "ui/settings/DialogStyle.h"
#include "ui/settings/SettingsDialogFixture.h"

namespace pelmora {
namespace {

TEST_F(SettingsDialogTest, EditsShowTheWholeNumberTheyHoldAndRefuseWhatTheMoneyCannotHold) {
  TSettings& settings = start();
  m_frame->mSettings->trigger();

  // Two digits may be typed; the arrows go on to 100, and 100 is what is shown and stored.
  NumericField& extra = *settings.tabConnection->eSecondsPlus;
  type(extra.edit, "98");
  extra.upDown->up->click();
  extra.upDown->up->click();
  EXPECT_EQ(extra.edit->text(), QStringLiteral("100"));
  settings.bOk->click();
  EXPECT_EQ(stored(options::kSecondsPlus), 100);
  m_frame->mSettings->trigger();
  EXPECT_EQ(extra.edit->text(), QStringLiteral("100"));
  type(extra.edit, "123");  // typed, the limit holds
  EXPECT_EQ(extra.edit->text(), QStringLiteral("12"));
  settings.bCancel->click();

  // An amount beyond what the settlement can hold is refused as letters are, pasted or typed.
  m_frame->mStatisticsClick();
  StatisticsPage& statistics = *settings.tabStatistics;
  statistics.bCorrect->click();
  for (const char* pasted : {"1e39", "-4e38"}) {
    statistics.eNewAccount->selectAll();
    statistics.eNewAccount->insert(QString::fromUtf8(pasted));
    EXPECT_EQ(statistics.eNewAccount->text(), QStringLiteral("0")) << pasted;
  }
  EXPECT_EQ(beeps(), 2);
  statistics.eNewAccount->selectAll();
  statistics.eNewAccount->insert(QStringLiteral("3e38"));  // within the range: taken
  EXPECT_EQ(statistics.eNewAccount->text(), QStringLiteral("3e38"));
  EXPECT_EQ(beeps(), 2);
  type(statistics.eNewAccount, "123456789");
  EXPECT_EQ(statistics.eNewAccount->text(), QStringLiteral("12345678"));
  statistics.bAccSave->click();
  EXPECT_EQ(storedText(options::kAccount), "12345678");
}

TEST_F(SettingsDialogTest, AValueThatCannotBeReadCostsOnlyItsOwnControl) {
  m_store = std::make_unique<SqliteSettingsStore>(database(), autostart());
  TSettings& settings = start();
  store(options::kMaxCents, 100);
  store(options::kSecondsPlus, 5);
  openKey(*m_store, kProgramKey)->WriteString("Zero", "abc");
  const std::string soundOn = storedText(options::kSoundON);
  const std::string appOn = storedText(options::kAppON);

  m_frame->mSettings->trigger();
  ASSERT_FALSE(m_boxes.shown.empty());
  EXPECT_NE(m_boxes.shown.back().text.find("Zero"), std::string::npos);
  EXPECT_EQ(settings.tabTariffs->eMaxCents->edit->text(), QStringLiteral("100"));
  EXPECT_EQ(settings.tabConnection->playOn->edit->text().toStdString(), soundOn);
  settings.bOk->click();
  EXPECT_EQ(stored(options::kMaxCents), 100);
  EXPECT_EQ(stored(options::kSecondsPlus), 5);
  EXPECT_EQ(storedText(options::kSoundON), soundOn);
  EXPECT_EQ(storedText(options::kAppON), appOn);
  EXPECT_EQ(storedText(TextOption{"Zero"}), "abc");  // left for the user to repair

  // A number the user enters is written.
  m_frame->mSettings->trigger();
  type(settings.tabConnection->eZero->edit, "45");
  settings.bOk->click();
  EXPECT_EQ(stored(options::kZero), 45);
}

TEST_F(SettingsDialogTest, ClosingStopsATariffTestQuietlyAndWaitsForAnOpenCorrection) {
  TSettings& settings = start();
  m_frame->mSettings->trigger();
  TariffsPage& tariffs = *settings.tabTariffs;
  settings.TABs->setCurrentIndex(TSettings::Tariffs);
  type(tariffs.field(TariffField::MaxAH)->edit, "21");  // 20:00 to 20:59 uncovered, not saved
  tariffs.tTest->click();
  ASSERT_TRUE(tariffs.tester().running());
  QTest::keyClick(&settings, Qt::Key_Escape);
  EXPECT_FALSE(settings.isVisible());
  EXPECT_FALSE(tariffs.tester().running());
  // Ticks still on their way change nothing, and no result comes.
  const QString memo = tariffs.memoTest->toPlainText();
  for (int minute = 0; minute < 1440; ++minute) tariffs.ttTesterTimer();
  QTest::qWait(50);
  EXPECT_EQ(tariffs.memoTest->toPlainText(), memo);
  EXPECT_TRUE(m_boxes.shown.empty());
  m_frame->mSettings->trigger();
  EXPECT_TRUE(tariffs.tTest->isEnabled() || !settings.tariffEditor().testEnabled());
  EXPECT_TRUE(tariffs.cbWeek->isEnabled());

  // While the balance is corrected, neither Escape nor the close box ends the dialog.
  settings.TABs->setCurrentIndex(TSettings::Statistics);
  settings.tabStatistics->bCorrect->click();
  QTest::keyClick(&settings, Qt::Key_Escape);
  EXPECT_TRUE(settings.isVisible());
  settings.close();
  EXPECT_TRUE(settings.isVisible());
  settings.tabStatistics->bAccCancel->click();
  QTest::keyClick(&settings, Qt::Key_Escape);
  EXPECT_FALSE(settings.isVisible());
}

TEST_F(SettingsDialogTest, DisabledButtonsAreGreyAndTheTariffRowsDoNotOverlap) {
  TSettings& settings = start();
  m_frame->mSettings->trigger();
  QPushButton* clear = settings.tabOptions->bClear;
  ASSERT_FALSE(clear->isEnabled());  // nothing counted yet
  const QPalette greyed = settings.tabOptions->bView->palette();
  EXPECT_EQ(clear->palette().color(QPalette::Disabled, QPalette::ButtonText),
            greyed.color(QPalette::Disabled, QPalette::ButtonText));
  EXPECT_EQ(clear->palette().color(QPalette::Active, QPalette::ButtonText), dialog::kDarkRed);

  // The memo's silver stays inside it: its scroll bar is drawn like any other.
  TariffsPage& tariffs = *settings.tabTariffs;
  settings.TABs->setCurrentIndex(TSettings::Tariffs);
  EXPECT_EQ(tariffs.memoTest->palette().color(QPalette::Base), QColor(192, 192, 192));
  QScrollBar* bar = tariffs.memoTest->verticalScrollBar();
  EXPECT_EQ(bar->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
  // After a test of a whole day the handle is short, at the top at the first line and at the
  // bottom at the last.
  for (int minute = 0; minute < 1440; ++minute) {
    tariffs.memoTest->appendPlainText(QStringLiteral("0:0 = #1 {75}"));
  }
  const auto handle = [bar](int value) {
    bar->setValue(value);
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.subControls = QStyle::SC_All;
    const QStyle& style = *bar->style();
    return std::pair{
        style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar),
        style.subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, bar)};
  };
  const auto [first, groove] = handle(bar->minimum());
  EXPECT_LT(first.height(), groove.height() / 3);
  EXPECT_EQ(first.top(), groove.top());
  const auto [last, unused] = handle(bar->maximum());
  EXPECT_EQ(last.bottom(), groove.bottom());

  // "ДО" begins right of the begin minute's arrows, and ends before the end hour.
  int rows = 0;
  for (const QLabel* until : tariffs.findChildren<QLabel*>()) {
    if (until->text() != QStringLiteral("ДО")) continue;
    const auto row = static_cast<std::size_t>(rows++);
    const QRect arrows = tariffs.fields[row * 5 + 1]->upDown->geometry();
    const QRect endHour = tariffs.fields[row * 5 + 2]->edit->geometry();
    EXPECT_GT(until->x(), arrows.right()) << "row " << row;
    EXPECT_LT(until->x() + until->sizeHint().width() - 1, endHour.left()) << "row " << row;
  }
  EXPECT_EQ(rows, 3);
}

}  // namespace
}  // namespace pelmora
