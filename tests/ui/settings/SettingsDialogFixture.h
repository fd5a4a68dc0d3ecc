#pragma once

// The settings dialog in the real program's windows, offscreen, over a real settings database,
// with the status window it belongs to: the fixture of the dialog's tests.

#include "ui/settings/TSettings.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
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
#include "platform/ProgramLinks.h"
#include "platform/ProgramVersion.h"
#include "platform/ScriptedBeeper.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/ScriptedReportPrinter.h"
#include "platform/qt/linux/LpReportPrinter.h"
#include "platform/qt/QtFileOpener.h"
#include "store/AccountLog.h"
#include "store/ProgramOptions.h"
#include "store/StoreKeys.h"
#include "store/linux/AutostartFolder.h"
#include "store/linux/SqliteSettingsStore.h"
#include "accounting/Tariffs.h"
#include "support/Doubles.h"
#include "support/FakeClock.h"
#include "support/ProgramParts.h"
#include "support/ProgramProcess.h"
#include "support/RecordingMessageBoxes.h"
#include "support/TemporaryFolder.h"
#include "ui/settings/ActionPages.h"
#include "ui/settings/ActionRow.h"
#include "ui/settings/CurrencyRow.h"
#include "ui/settings/InfoPage.h"
#include "ui/settings/OptionsPage.h"
#include "ui/settings/StatisticsPage.h"
#include "ui/settings/TariffsPage.h"
#include "ui/settings/UpDown.h"
#include "ui/status/TMainFrame.h"

namespace pelmora {

namespace fs = std::filesystem;

class SettingsDialogTest : public ::testing::Test {
 protected:
  SettingsDialogTest() { m_clock.set(2026, 12, 8, 21, 30, 0); }
  ~SettingsDialogTest() override { close(); }

  // The program as main builds it; file dialogs answered from `files`.
  // Printing through `printer`, or answered "printed" without one.
  TSettings& start(const std::string& files = "", std::unique_ptr<ReportPrinter> printer = {}) {
    if (!m_store) m_store = std::make_unique<SqliteSettingsStore>(database(), autostart());
    m_files = std::make_unique<ScriptedFileDialogs>(files, m_transcript);
    m_printer = printer ? std::move(printer)
                        : std::make_unique<ScriptedReportPrinter>("printed", m_transcript);
    const testing::CoreParts parts{.clock = m_clock,
                                   .probe = m_probe,
                                   .boxes = m_boxes,
                                   .starter = m_starter,
                                   .sound = m_sound,
                                   .store = *m_store,
                                   .screen = m_screen,
                                   .folder = m_folder.path(),
                                   .executable = kExecutable,
                                   .terminate = [this] { ++m_terminated; },
                                   .decimalSeparator = ','};
    m_core = std::make_unique<ProgramCore>(testing::coreServices(parts));
    m_frame = std::make_unique<TMainFrame>(
        TMainFrame::Services{*m_core, m_screen, {QStringLiteral("pelmora")}});
    m_settings = std::make_unique<TSettings>(
        *m_core, *m_frame,
        testing::settingsServices(parts, {*m_files, m_beeper, m_opener, *m_printer, m_links}));
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
    // One key press a character, carrying the character itself: Cyrillic too.
    for (const QChar c : QString::fromUtf8(text)) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(edit, &press);
    }
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
  testing::RecordingAddressOpener m_links;
  int m_terminated = 0;
  std::unique_ptr<SqliteSettingsStore> m_store;
  std::unique_ptr<ScriptedFileDialogs> m_files;
  std::unique_ptr<ReportPrinter> m_printer;
  std::unique_ptr<ProgramCore> m_core;
  std::unique_ptr<TMainFrame> m_frame;
  std::unique_ptr<TSettings> m_settings;
};

}  // namespace pelmora
