// The settings dialog opened from the status window as a user opens it: its tabs of options,
// typed into, committed, cancelled, cleared and reset.

#include <csignal>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "support/ProgramProcess.h"
#include "ui/settings/SettingsDialogFixture.h"

namespace pelmora {
namespace {

using testing::waitUntil;

TEST_F(SettingsDialogTest, OpensOnTheCallersTabAndAShownDialogOnlyComesToTheFront) {
  TSettings& settings = start();
  EXPECT_FALSE(settings.isVisible());
  EXPECT_EQ(settings.size(), QSize(580, 220));
  EXPECT_EQ(settings.windowTitle(), QStringLiteral("Настройки"));
  EXPECT_EQ(settings.TABs->tabText(1), QStringLiteral("ТАРИФЬI"));
  EXPECT_FALSE(settings.TABs->tabIcon(5).isNull());

  m_frame->mSettings->trigger();
  EXPECT_TRUE(settings.isVisible());
  EXPECT_EQ(settings.TABs->currentIndex(), TSettings::Options);
  settings.bCancel->click();
  m_frame->mStatisticsClick();
  EXPECT_EQ(settings.TABs->currentIndex(), TSettings::Statistics);
  settings.bCancel->click();
  m_frame->mHelp->trigger();  // F1
  EXPECT_EQ(settings.TABs->currentIndex(), TSettings::Info);
  settings.TABs->setCurrentIndex(TSettings::Connection);
  m_frame->mSettings->trigger();
  EXPECT_EQ(settings.TABs->currentIndex(), TSettings::Connection);

  // "O K" waits for the end of a metered connection.
  m_probe.answer = 1;
  m_frame->ttInternetTimer();
  EXPECT_FALSE(settings.bOk->isEnabled());
  m_probe.answer = 0;
  m_frame->ttInternetTimer();
  EXPECT_TRUE(settings.bOk->isEnabled());
}

TEST_F(SettingsDialogTest, NumericEditsKeepWhatTheValidatorsAllowAndCancelUndoesTheMoves) {
  TSettings& settings = start();
  store(options::kXX, 100);
  store(options::kYY, 50);
  m_frame->mSettings->trigger();
  EXPECT_EQ(m_frame->pos(), QPoint(100, 50));
  OptionsPage& page = *settings.tabOptions;

  // Clamped through the up-down: the edit and the status window at the screen's edge.
  type(page.eXX->edit, "5000");
  EXPECT_EQ(page.eXX->edit->text(), QStringLiteral("919"));
  EXPECT_EQ(m_frame->x(), 919);
  // The status window dragged: the edits follow it.
  emit m_frame->positionDragged(300, 400);
  EXPECT_EQ(page.eYY->edit->text(), QStringLiteral("400"));

  QLineEdit* zero = settings.tabConnection->eZero->edit;
  type(zero, "950");
  EXPECT_EQ(zero->text(), QStringLiteral("900"));
  type(zero, "a");
  EXPECT_EQ(zero->text(), QStringLiteral("20"));
  EXPECT_EQ(beeps(), 1);
  clear(zero);
  EXPECT_EQ(zero->text(), QStringLiteral("20"));
  EXPECT_EQ(beeps(), 2);

  // No thousands separator: an arrow past 999 and six nines typed both stay.
  NumericField& limit = *settings.tabTariffs->eMaxCents;
  type(limit.edit, "999");
  limit.upDown->up->click();
  EXPECT_EQ(limit.edit->text(), QStringLiteral("1000"));
  type(limit.edit, "999999");
  EXPECT_EQ(limit.edit->text(), QStringLiteral("999999"));
  EXPECT_EQ(beeps(), 2);

  // The close box cancels too.
  settings.close();
  EXPECT_FALSE(settings.isVisible());
  EXPECT_EQ(m_frame->pos(), QPoint(100, 50));
  EXPECT_EQ(stored(options::kXX), 100);
  EXPECT_EQ(stored(options::kZero), 20);
  EXPECT_EQ(stored(options::kMaxCents), 100);

  // A stored value of the wrong type is named in a box; the dialog still opens.
  openKey(*m_store, kProgramKey)->WriteString("Zero", "abc");
  m_frame->mSettings->trigger();
  EXPECT_TRUE(settings.isVisible());
  ASSERT_FALSE(m_boxes.shown.empty());
  EXPECT_NE(m_boxes.shown.back().text.find("Zero"), std::string::npos);
  EXPECT_NE(m_boxes.shown.back().text.find(kProgramKey), std::string::npos);
}

TEST_F(SettingsDialogTest, ActionRowsFollowTheirBoxesPickFilesAndTestWhatTheEditHolds) {
  TSettings& settings = start("/usr/share/sounds/ring.wav\n\n");
  store(options::kPlayON, 1);
  store(options::kStartON, 0);
  m_frame->mSettings->trigger();
  ActionRow& sound = *settings.tabConnection->playOn;
  ActionRow& program = *settings.tabConnection->startOn;
  EXPECT_TRUE(sound.edit->isEnabled());
  EXPECT_FALSE(program.testButton->isEnabled());
  program.check->click();
  EXPECT_TRUE(program.browseButton->isEnabled());

  sound.edit->setText(QStringLiteral("/home/me/sounds/old.wav"));
  sound.browseButton->click();
  EXPECT_EQ(sound.edit->text(), QStringLiteral("/usr/share/sounds/ring.wav"));
  EXPECT_NE(m_transcript.str().find("Укажите звуковой файл..."), std::string::npos);
  program.edit->setText(QStringLiteral("/usr/bin/notify-send 'В сети'"));
  program.browseButton->click();  // cancelled
  EXPECT_EQ(program.edit->text(), QStringLiteral("/usr/bin/notify-send 'В сети'"));

  sound.testButton->click();
  program.testButton->click();
  EXPECT_EQ(m_sound.played, std::vector<std::string>{"/usr/share/sounds/ring.wav"});
  EXPECT_EQ(m_starter.started, std::vector<std::string>{"line: /usr/bin/notify-send 'В сети'"});

  // Shown again, the boxes follow the store whatever they were left at.
  settings.bCancel->click();
  store(options::kPlayON, 0);
  m_frame->mSettings->trigger();
  EXPECT_FALSE(sound.edit->isEnabled());
  EXPECT_FALSE(program.check->isChecked());
  EXPECT_FALSE(program.edit->isEnabled());
}

// A user's evening with the dialog: a commit, a cancel, the statistics cleared and everything
// reset, after which the real program starts again as a first run.
TEST_F(SettingsDialogTest, CommitCancelClearAndResetReachTheDatabaseAsTheUserMeantThem) {
  const std::string balance = "1234,5600";
  m_store = std::make_unique<SqliteSettingsStore>(database(), autostart());
  {
    auto key = openKey(*m_store, kProgramKey);
    write(*key, options::kAccount, balance);
    write(*key, options::kCentsT, "777,7");
    write(*key, options::kNumberT, 12);
  }
  TSettings& settings = start("/usr/share/sounds/online.wav\n");

  m_frame->mSettings->trigger();
  settings.tabOptions->cbAutoStart->click();
  type(settings.tabConnection->eZero->edit, "45");
  type(settings.tabConnection->eSecondsPlus->edit, "9");
  settings.tabConnection->cbShowOnConnect->click();
  settings.tabConnection->playOn->check->click();
  settings.tabConnection->playOn->browseButton->click();
  QTest::mouseClick(settings.bOk, Qt::LeftButton);
  EXPECT_FALSE(settings.isVisible());
  EXPECT_TRUE(m_frame->isVisible());  // shown again with the new settings
  EXPECT_EQ(stored(options::kZero), 45);
  EXPECT_EQ(stored(options::kSecondsPlus), 9);
  EXPECT_EQ(stored(options::kShowOnConnect), 0);
  EXPECT_EQ(stored(options::kPlayON), 1);
  EXPECT_EQ(storedText(options::kSoundON), "/usr/share/sounds/online.wav");
  EXPECT_EQ(m_frame->freeSeconds(), 45);
  const fs::path entry = AutostartFolder(autostart()).entryFile(kProgramTitle);
  EXPECT_NE(testing::fileContent(entry).find(kExecutable), std::string::npos);

  m_frame->mSettings->trigger();
  type(settings.tabConnection->eZero->edit, "60");
  type(settings.tabOptions->eXX->edit, "10");
  settings.tabDisconnection->cbTrunc->click();
  QTest::mouseClick(settings.bCancel, Qt::LeftButton);
  EXPECT_EQ(stored(options::kZero), 45);
  EXPECT_EQ(stored(options::kTrunc), 0);
  EXPECT_EQ(m_frame->x(), stored(options::kXX));

  m_frame->mSettings->trigger();
  m_boxes.answers = {MessageAnswer::No, MessageAnswer::Yes};
  settings.tabOptions->bClear->click();
  EXPECT_EQ(stored(options::kNumberT), 12);
  settings.tabOptions->bClear->click();
  EXPECT_EQ(stored(options::kNumberT), 0);
  EXPECT_EQ(storedText(options::kCentsT), "0");
  EXPECT_EQ(storedText(options::kAccount), balance);
  EXPECT_EQ(settings.TABs->currentIndex(), TSettings::Statistics);

  m_boxes.answers = {MessageAnswer::Yes, MessageAnswer::Ok};
  settings.tabOptions->bReset->click();
  EXPECT_EQ(m_boxes.shown.back().title, "Ok!");
  EXPECT_EQ(m_terminated, 1);
  ASSERT_EQ(m_starter.started, std::vector<std::string>{kExecutable + "|/reboot"});
  close();

  // The new instance: the real program, started as the reset starts it.
  auto environment = testing::offscreenEnvironment(m_folder.path(), m_folder.path());
  environment["PELMORA_ANSWERS"] = "";
  testing::ProgramProcess program(PELMORA_EXECUTABLE, {"/reboot"}, environment,
                                  m_folder / "stderr.txt");
  ASSERT_TRUE(waitUntil(
      [&] {
        SqliteSettingsStore reader(database(), autostart());
        auto key = openKey(reader, kProgramKey);
        return exists(*key, options::kZero);
      },
      std::chrono::seconds(10)))
      << program.errorOutput();
  program.signal(SIGTERM);
  EXPECT_EQ(program.wait(std::chrono::seconds(10)), 0) << program.errorOutput();
  EXPECT_EQ(stored(options::kZero), 20);
  EXPECT_EQ(stored(options::kShowOnConnect), 1);
  EXPECT_EQ(stored(options::kNumberT), 0);
  EXPECT_EQ(storedText(options::kAccount), balance);
  EXPECT_NE(testing::fileContent(entry).find(kExecutable), std::string::npos);
}

}  // namespace
}  // namespace pelmora
