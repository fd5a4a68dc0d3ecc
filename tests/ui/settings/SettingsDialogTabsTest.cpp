// The tariffs, currency, statistics and information tabs through the real program: edits that
// reach the store, the status window and the metering, reports that reach a file and a printer.

#include <cstdlib>
#include <fstream>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "store/StoredTariffs.h"
#include "support/qt/SeenLayout.h"
#include "ui/settings/SettingsDialogFixture.h"

namespace pelmora {
namespace {

// Monday evening, zone #1: the tariffs tab edits, saves, copies and tests, and a price saved
// during a connection is metered from the next second.
TEST_F(SettingsDialogTest, TariffsAreEditedDayByDayAndTakeEffectAtTheNextTick) {
  m_clock.set(2026, 12, 7, 21, 30, 0);
  TSettings& settings = start();
  m_frame->openSettings(QStringLiteral("t"));
  TariffsPage& tariffs = *settings.tabTariffs;
  EXPECT_EQ(settings.TABs->currentIndex(), TSettings::Tariffs);
  EXPECT_EQ(tariffs.cbWeek->currentIndex(), 1);
  EXPECT_FALSE(tariffs.tSaveThisDay->isEnabled());

  type(tariffs.field(TariffField::MaxC)->edit, "120");
  EXPECT_TRUE(tariffs.tSaveThisDay->isEnabled());
  m_boxes.answers = {MessageAnswer::Yes};
  tariffs.cbWeek->setCurrentIndex(2);
  emit tariffs.cbWeek->activated(2);
  EXPECT_EQ(m_boxes.shown.back().text, "Тарифы для понедельника не были сохранены.\nСохранить их?");
  EXPECT_EQ(readDayTariffs(*m_store, 1).max.price, 120);
  EXPECT_EQ(readDayTariffs(*m_store, 2).max.price, 75);
  EXPECT_EQ(tariffs.field(TariffField::MaxC)->edit->text(), QStringLiteral("75"));

  type(tariffs.field(TariffField::MinC)->edit, "15");
  tariffs.tCopy->click();
  EXPECT_EQ(m_boxes.shown.back().title, "Ok!");
  for (int day = 0; day < 7; ++day) EXPECT_EQ(readDayTariffs(*m_store, day).min.price, 15) << day;

  // The tester walks the typed day: 2:00 to 2:59 uncovered turns the memo red.
  type(tariffs.field(TariffField::MinAH)->edit, "3");
  tariffs.tTest->click();
  EXPECT_FALSE(tariffs.cbWeek->isEnabled());
  for (int tick = 0; tick < 1440; ++tick) tariffs.ttTesterTimer();
  EXPECT_FALSE(tariffs.ttTester.enabled());
  EXPECT_EQ(tariffs.memoTest->document()->blockCount(), 1440);
  EXPECT_EQ(tariffs.memoTest->palette().color(QPalette::Text), QColor(255, 0, 0));
  EXPECT_EQ(tariffs.tProgress->value(), 24);
  EXPECT_EQ(m_boxes.shown.back().title, "Ошибка в тарифах!");
  EXPECT_TRUE(tariffs.cbWeek->isEnabled());
  EXPECT_TRUE(tariffs.tSaveThisDay->isEnabled());
  tariffs.bRestore->click();
  EXPECT_EQ(tariffs.field(TariffField::MinAH)->edit->text(), QStringLiteral("2"));
  // "O K" saves the shown day too.
  type(tariffs.field(TariffField::MidC)->edit, "61");
  settings.bOk->click();
  EXPECT_EQ(readDayTariffs(*m_store, 2).mid.price, 61);
  m_frame->openSettings(QStringLiteral("t"));

  // Connected with the dialog open: Monday's #1 price saved mid-connection.
  tariffs.cbWeek->setCurrentIndex(1);
  emit tariffs.cbWeek->activated(1);
  m_probe.answer = 1;
  m_frame->ttInternetTimer();
  const auto cost = [this] {
    return m_frame->pCents->text().trimmed().replace(u',', u'.').toDouble();
  };
  for (int second = 0; second < 60; ++second) {
    m_clock.advance(1);
    m_frame->ttDurationTimer();
  }
  const double atOldPrice = cost();
  type(tariffs.field(TariffField::MaxC)->edit, "1200");
  tariffs.tSaveThisDay->click();
  m_clock.advance(1);
  m_frame->ttDurationTimer();
  // A second at 75 a hour adds 0.02; the new price is in force at once.
  EXPECT_GT(cost() - atOldPrice, 0.3) << atOldPrice;
}

// Roubles in the status window, a currency of the user's own named but not chosen, and the
// information tab's links.
TEST_F(SettingsDialogTest, CurrencyReachesTheStatusWindowOnlyThroughOkAndLinksReachTheDesktop) {
  TSettings& settings = start();
  m_frame->openSettings(QStringLiteral("t"));
  CurrencyRow& currency = *settings.tabTariffs->currency;
  EXPECT_FALSE(currency.bChange->isEnabled());
  currency.cbCurrency->setCurrentIndex(1);
  emit currency.cbCurrency->activated(1);
  EXPECT_EQ(settings.tabTariffs->tCURRhour[0]->text(), QStringLiteral("КОПЕЕК / ЧАС"));
  EXPECT_EQ(currency.cbCurrencyDisplay->itemText(1), QStringLiteral("РУБЛИ (p.)"));
  currency.cbCurrencyDisplay->setCurrentIndex(1);
  settings.bOk->click();
  EXPECT_EQ(storedText(options::kCurrency), "p.");
  EXPECT_EQ(m_frame->tCurrency->text(), QStringLiteral("p."));
  m_probe.answer = 1;
  m_frame->ttInternetTimer();
  for (int second = 0; second < 60; ++second) {
    m_clock.advance(1);
    m_frame->ttDurationTimer();
  }
  // 65 seconds at 75 kopecks an hour, shown in roubles.
  EXPECT_NEAR(m_frame->pCents->text().trimmed().replace(u',', u'.').toDouble(), 0.0135, 0.0001)
      << m_frame->pCents->text().toStdString();
  m_probe.answer = 0;
  m_frame->ttInternetTimer();

  m_frame->openSettings(QStringLiteral("t"));
  currency.cbCurrency->setCurrentIndex(2);
  emit currency.cbCurrency->activated(2);
  EXPECT_TRUE(currency.bChange->isEnabled());
  currency.bChange->click();
  EXPECT_TRUE(currency.SetCurrecny->isVisible());
  type(currency.eRub, "гривня");
  EXPECT_EQ(currency.eRub->text(), QStringLiteral("ГРИВНЯ"));
  type(currency.sRub, "₴");
  QTest::keyClick(currency.eKops, Qt::Key_Return);  // the last field's Enter stores the currency
  EXPECT_FALSE(currency.SetCurrecny->isVisible());
  EXPECT_EQ(settings.tabStatistics->pAccount->text(), QStringLiteral(" СОСТОЯНИЕ СЧЕТА (гривня)"));
  settings.bCancel->click();
  EXPECT_EQ(storedText(options::kCurrencyCustom), "ГРИВНЯ");
  EXPECT_EQ(storedText(options::kCurrencyCustomMain), "₴");
  EXPECT_EQ(storedText(options::kCurrency), "p.");
  EXPECT_EQ(stored(options::kCurrencyFull), 1);
  EXPECT_EQ(stored(options::kCurrencyStatus), 1);

  settings.tabInfo->openLink(InfoLink::Mail);
  settings.tabInfo->openLink(InfoLink::Web);
  ASSERT_EQ(m_links.opened.size(), 2u);
  EXPECT_EQ(m_links.opened[0].rfind("mailto:", 0), 0u);
  EXPECT_NE(m_links.opened[0].find("subject=%22Pelmora%22"), std::string::npos);
  EXPECT_EQ(m_links.opened[1], kWebPageAddress);
}

// A connection counted, then seen, saved, printed and the balance corrected from the statistics
// tab.
TEST_F(SettingsDialogTest, StatisticsShowTheConnectionAndGoToAFileThePrinterAndTheBalance) {
  const fs::path bin = m_folder / "bin";
  fs::create_directories(bin);
  const fs::path printed = m_folder / "printed.txt";
  {
    std::ofstream lp(bin / "lp");
    lp << "#!/bin/sh\nfor a; do last=$a; done\necho \"$last\" > '" << printed.string() << "'\n";
  }
  fs::permissions(bin / "lp", fs::perms::owner_all);
  const std::string path = std::getenv("PATH");
  TSettings& settings =
      start((m_folder / "report.txt").string() + "\n", std::make_unique<LpReportPrinter>());
  m_probe.answer = 1;
  m_frame->ttInternetTimer();
  for (int second = 0; second < 120; ++second) {
    m_clock.advance(1);
    m_frame->ttDurationTimer();
  }
  m_probe.answer = 0;
  m_frame->ttInternetTimer();

  m_frame->mStatisticsClick();
  StatisticsPage& statistics = *settings.tabStatistics;
  EXPECT_EQ(statistics.plDuration[4]->text(), QStringLiteral("125"));
  EXPECT_EQ(statistics.plDurationTime[4]->text(), QStringLiteral("00:02:05"));
  EXPECT_EQ(statistics.plNumber[3]->text(), QStringLiteral("1"));
  EXPECT_TRUE(settings.tabOptions->bClear->isEnabled());

  statistics.bSave->click();
  const std::string report = testing::fileContent(m_folder / "report.txt");
  EXPECT_NE(report.find("Pelmora - статистика от 08.12.2026\r\n"), std::string::npos) << report;

  ::setenv("PATH", bin.c_str(), 1);
  statistics.bPrint->click();
  ::setenv("PATH", (m_folder / "nowhere").c_str(), 1);
  statistics.bPrint->click();
  ::setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(testing::fileContent(printed), (m_folder / "Pelmora.TxT").string() + "\n");
  ASSERT_FALSE(m_boxes.shown.empty());
  EXPECT_EQ(m_boxes.shown.back().title, "Ошибка при запуске команды \"печать\".");
  EXPECT_NE(m_boxes.shown.back().text.find((m_folder / "Pelmora.TxT").string()), std::string::npos);

  // The correction keeps the dialog open until it is saved.
  statistics.bCorrect->click();
  EXPECT_FALSE(settings.bOk->isEnabled());
  EXPECT_FALSE(settings.bCancel->isEnabled());
  type(statistics.eNewAccount, "12,5");
  statistics.bAccSave->click();
  EXPECT_TRUE(settings.bOk->isEnabled());
  EXPECT_EQ(storedText(options::kAccount), "12,5");
  EXPECT_EQ(AccountLog(m_folder / "Account.LOG").readFirstToken().text, "12,5");
}

// What the user sees on every tab and in the dialog around them: no control over another and
// every caption whole with the dialog's font, the balance correction's controls too.
TEST_F(SettingsDialogTest, EveryTabShowsItsControlsWholeAndApart) {
  TSettings& settings = start();
  m_frame->openSettings(QStringLiteral("o"));
  StatisticsPage& statistics = *settings.tabStatistics;
  // The statistics' two lights lie on their headings.
  const std::vector<const QWidget*> lights{statistics.pAccountIndicator,
                                           statistics.pCentsIndicator};
  const auto seenWhole = [&lights](QWidget* page) {
    QApplication::processEvents();
    EXPECT_EQ(testing::overlappingControls(page, lights), std::vector<std::string>{})
        << page->metaObject()->className();
    EXPECT_EQ(testing::cutCaptions(page), std::vector<std::string>{})
        << page->metaObject()->className();
  };
  for (int tab = 0; tab < settings.TABs->count(); ++tab) {
    settings.TABs->setCurrentIndex(tab);
    seenWhole(settings.TABs->widget(tab));
  }
  seenWhole(&settings);
  statistics.bCorrectClick();
  seenWhole(&statistics);
  statistics.bAccCancelClick();
}

}  // namespace
}  // namespace pelmora
