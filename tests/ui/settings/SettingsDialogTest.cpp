// The settings dialog in the real program's windows, offscreen, over a real settings database:
// opened from the status window as a user opens it, typed into, committed, cancelled, cleared
// and reset.

#include "ui/settings/TSettings.h"

#include <csignal>
#include <memory>
#include <sstream>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/ProgramCore.h"
#include "platform/ProgramVersion.h"
#include "platform/ScriptedBeeper.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/qt/QtFileOpener.h"
#include "store/ProgramOptions.h"
#include "store/StoreKeys.h"
#include "store/linux/AutostartFolder.h"
#include "store/linux/SqliteSettingsStore.h"
#include "accounting/Tariffs.h"
#include "support/Doubles.h"
#include "support/FakeClock.h"
#include "support/ProgramProcess.h"
#include "support/RecordingMessageBoxes.h"
#include "support/TemporaryFolder.h"
#include "ui/settings/ActionPages.h"
#include "ui/settings/ActionRow.h"
#include "ui/settings/OptionsPage.h"
#include "ui/settings/TariffsPage.h"
#include "ui/settings/UpDown.h"
#include "ui/status/TMainFrame.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using testing::waitUntil;

class SettingsDialogTest : public ::testing::Test {
 protected:
  SettingsDialogTest() { m_clock.set(2026, 12, 8, 21, 30, 0); }
  ~SettingsDialogTest() override { close(); }

  // The program as main builds it; file dialogs answered from `files`.
  TSettings& start(const std::string& files = "") {
    if (!m_store) m_store = std::make_unique<SqliteSettingsStore>(database(), autostart());
    m_files = std::make_unique<ScriptedFileDialogs>(files, m_transcript);
    m_core = std::make_unique<ProgramCore>(ProgramCore::Services{
        m_clock, m_probe, m_boxes, m_starter, m_sound, *m_store, m_screen,
        DataFolder(m_folder.path()), kExecutable, [this] { ++m_terminated; }, ','});
    m_frame = std::make_unique<TMainFrame>(
        TMainFrame::Services{*m_core, m_screen, {QStringLiteral("pelmora")}});
    m_settings = std::make_unique<TSettings>(
        TSettings::Services{*m_core, *m_frame, *m_files, m_beeper, m_opener});
    m_frame->startUp();
    return *m_settings;
  }
  void close() {
    m_settings.reset();
    m_frame.reset();
    m_core.reset();
    m_store.reset();
  }

  fs::path database() const { return m_folder / "registry.db"; }
  fs::path autostart() const { return m_folder / "config" / "autostart"; }

  // What another reader of the database finds now.
  std::string storedText(TextOption option) const {
    SqliteSettingsStore reader(database(), autostart());
    auto key = openKey(reader, kProgramKey);
    return read(*key, option);
  }
  std::int32_t stored(IntegerOption option) const {
    SqliteSettingsStore reader(database(), autostart());
    auto key = openKey(reader, kProgramKey);
    return read(*key, option);
  }
  void store(IntegerOption option, std::int32_t value) {
    auto key = openKey(*m_store, kProgramKey);
    write(*key, option, value);
  }

  // Typing as a user does: everything selected, then the keys one by one.
  static void type(QLineEdit* edit, const char* text) {
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromUtf8(text));
  }
  static void clear(QLineEdit* edit) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
  }
  int beeps() const {
    const std::string all = m_transcript.str();
    int count = 0;
    for (std::size_t at = all.find("beep"); at != std::string::npos;
         at = all.find("beep", at + 1)) {
      ++count;
    }
    return count;
  }

  const std::string kExecutable = "/opt/my apps/pelmora";
  testing::TemporaryFolder m_folder;
  testing::FakeClock m_clock;
  testing::FixedScreen m_screen{{1024, 768}};
  testing::ScriptedProbe m_probe;
  testing::RecordingMessageBoxes m_boxes;
  testing::RecordingStarter m_starter;
  testing::RecordingSound m_sound;
  std::stringstream m_transcript;
  ScriptedBeeper m_beeper{m_transcript};
  QtFileOpener m_opener;
  int m_terminated = 0;
  std::unique_ptr<SqliteSettingsStore> m_store;
  std::unique_ptr<ScriptedFileDialogs> m_files;
  std::unique_ptr<ProgramCore> m_core;
  std::unique_ptr<TMainFrame> m_frame;
  std::unique_ptr<TSettings> m_settings;
};

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
  fs::create_directories(m_folder / "sys" / "class" / "net");
  fs::create_directories(m_folder / "runtime");
  fs::permissions(m_folder / "runtime", fs::perms::owner_all, fs::perm_options::replace);
  testing::ProgramProcess program(PELMORA_EXECUTABLE, {"/reboot"},
                                  {{"QT_QPA_PLATFORM", "offscreen"},
                                   {"LC_ALL", "C.UTF-8"},
                                   {"PELMORA_HOME", m_folder.path().string()},
                                   {"PELMORA_SYSFS", (m_folder / "sys").string()},
                                   {"PELMORA_ANSWERS", ""},
                                   {"XDG_CONFIG_HOME", (m_folder / "config").string()},
                                   {"XDG_RUNTIME_DIR", (m_folder / "runtime").string()}},
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

}  // namespace
}  // namespace pelmora
