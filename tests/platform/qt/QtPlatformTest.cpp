// The Qt realisations of the platform seams, in-process and offscreen: the tick bridge, the file
// dialogs, the lp printer and the sound player's bell.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>
#include <QMetaObject>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include "platform/MultimediaTimer.h"
#ifndef _WIN32
#include "platform/qt/linux/CanberraSoundPlayer.h"
#include "platform/qt/linux/LpReportPrinter.h"
#endif
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtTickBridge.h"
#include "platform/qt/QtTranslation.h"
#include "support/ProgramProcess.h"
#include "support/TemporaryFolder.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Runs the event loop until `condition` holds, for two seconds at most.
bool eventually(const std::function<bool()>& condition) {
  return testing::waitUntil(
      [&] {
        QCoreApplication::processEvents();
        return condition();
      },
      2s);
}

// Posted events only, once: what the window would see on its next turn of the loop.
void oneTurn() {
  QCoreApplication::sendPostedEvents();
}

TEST(QtTickBridge, DeliversOnTheWindowThreadWithAtMostOneTickWaiting) {
  MultimediaTimer timer;
  QtTickBridge bridge(timer);
  int delivered = 0;
  bool offThread = false;
  const auto windowThread = std::this_thread::get_id();
  bridge.setOnTick([&] {
    ++delivered;
    if (std::this_thread::get_id() != windowThread) offThread = true;
  });

  timer.setEnabled(true);
  std::this_thread::sleep_for(300ms);  // some thirty ticks while the window is busy
  timer.setInterval(1000);             // restarted: the next tick is a second away
  oneTurn();
  EXPECT_EQ(delivered, 1);
  oneTurn();
  EXPECT_EQ(delivered, 1);

  timer.setInterval(10);
  EXPECT_TRUE(eventually([&] { return delivered >= 5; }));
  EXPECT_FALSE(offThread);
}

TEST(QtTickBridge, DeliversNoneOnceDisabledOrOnceTheReceiverOrTheBridgeIsGone) {
  MultimediaTimer timer;
  int delivered = 0;
  auto receiver = std::make_unique<QObject>();
  auto bridge = std::make_unique<QtTickBridge>(timer, receiver.get());
  bridge->setOnTick([&] { ++delivered; });

  // Disabled with a tick waiting: it is dropped, and enabling again delivers again.
  timer.setEnabled(true);
  std::this_thread::sleep_for(50ms);
  timer.setEnabled(false);
  oneTurn();
  EXPECT_EQ(delivered, 0);
  timer.setEnabled(true);
  ASSERT_TRUE(eventually([&] { return delivered > 0; }));

  // The receiver gone with a tick waiting.
  std::this_thread::sleep_for(50ms);
  receiver.reset();
  int before = delivered;
  oneTurn();
  std::this_thread::sleep_for(50ms);
  oneTurn();
  EXPECT_EQ(delivered, before);

  // A new bridge takes the timer over before the old one goes; then it goes too.
  int deliveredToNew = 0;
  auto newBridge = std::make_unique<QtTickBridge>(timer);
  newBridge->setOnTick([&] { ++deliveredToNew; });
  bridge.reset();
  ASSERT_TRUE(eventually([&] { return deliveredToNew > 0; }));
  EXPECT_EQ(delivered, before);
  std::this_thread::sleep_for(50ms);
  newBridge.reset();
  before = deliveredToNew;
  oneTurn();
  std::this_thread::sleep_for(50ms);
  oneTurn();
  EXPECT_EQ(deliveredToNew, before);
}

TEST(QtTickBridge, DeliversNoneOnceTheTimerIsGone) {
  auto timer = std::make_unique<MultimediaTimer>();
  QtTickBridge bridge(*timer);
  int delivered = 0;
  bridge.setOnTick([&] { ++delivered; });
  timer->setEnabled(true);
  std::this_thread::sleep_for(50ms);
  timer.reset();
  oneTurn();
  EXPECT_EQ(delivered, 0);
}

#ifndef _WIN32
// Qt's own file dialog does not come up as the active modal window under wine offscreen, so
// these run on Linux only; the dialog's code is the same on both systems.

// Acts on the modal windows as they come up, one step each, from the event loop.
class ModalSteps {
 public:
  using Step = std::function<bool(QWidget* modal)>;  // true once it has acted

  explicit ModalSteps(std::vector<Step> steps) : m_steps(std::move(steps)) {
    QObject::connect(&m_poll, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (m_next < m_steps.size() && modal != nullptr && m_steps[m_next](modal)) ++m_next;
    });
    m_poll.start(5);
  }
  bool allTaken() const { return m_next == m_steps.size(); }

 private:
  std::vector<Step> m_steps;
  std::size_t m_next = 0;
  QTimer m_poll;
};

// Types a name into the file dialog and presses its accept button (later, from the loop, so the
// overwrite question's own loop does not run inside this step).
ModalSteps::Step chooseInDialog(const QString& name, std::function<void(QFileDialog&)> look = {}) {
  return [name, look](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr) return false;
    if (look) look(*dialog);
    if (name.isEmpty()) {
      QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
    } else {
      dialog->selectFile(name);
      QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
    }
    return true;
  };
}

ModalSteps::Step answerQuestion(QMessageBox::StandardButton answer, QString* text) {
  return [answer, text](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) return false;
    *text = box->text();
    box->button(answer)->click();
    return true;
  };
}

TEST(QtFileDialogs, SavingAddsTheDefaultExtensionAndAsksBeforeReplacingAFile) {
  testing::TemporaryFolder folder;
  std::ofstream(folder / "report.txt") << "old";
  const FileDialogRequest request{"Сохранить отчёт", "Текстовые файлы (*.txt)", "txt",
                                  folder.path(), "Статистика.txt"};
  QString shownTitle, shownFolder, shownName, firstQuestion, secondQuestion;
  QStringList shownFilters;
  ModalSteps steps({chooseInDialog(QStringLiteral("report"),
                                   [&](QFileDialog& dialog) {
                                     shownTitle = dialog.windowTitle();
                                     shownFilters = dialog.nameFilters();
                                     shownFolder = dialog.directory().absolutePath();
                                     shownName = dialog.selectedFiles().value(0);
                                   }),
                    answerQuestion(QMessageBox::No, &firstQuestion),
                    chooseInDialog(QStringLiteral("report")),
                    answerQuestion(QMessageBox::Yes, &secondQuestion)});

  const auto chosen = QtFileDialogs().saveFile(request);
  EXPECT_TRUE(steps.allTaken());
  EXPECT_EQ(chosen, folder / "report.txt");
  EXPECT_EQ(shownTitle, QStringLiteral("Сохранить отчёт"));
  EXPECT_EQ(shownFilters, QStringList{QStringLiteral("Текстовые файлы (*.txt)")});
  EXPECT_EQ(shownFolder.toStdString(), folder.path().string());
  EXPECT_TRUE(shownName.endsWith(QStringLiteral("/Статистика.txt"))) << shownName.toStdString();
  EXPECT_TRUE(firstQuestion.contains(QStringLiteral("report.txt"))) << "no overwrite question";
  EXPECT_FALSE(secondQuestion.isEmpty()) << "the first No did not keep the dialog open";
}

TEST(QtFileDialogs, OpeningGivesTheChosenFileOrNothingOnCancel) {
  testing::TemporaryFolder folder;
  std::ofstream(folder / "tariffs.txt") << "x";
  const FileDialogRequest request{"Открыть", "Текстовые файлы (*.txt)", "txt", folder.path(), ""};
  QtFileDialogs dialogs;
  ModalSteps steps({chooseInDialog(QStringLiteral("tariffs.txt")), chooseInDialog({})});
  EXPECT_EQ(dialogs.openFile(request), folder / "tariffs.txt");
  EXPECT_EQ(dialogs.openFile(request), std::nullopt);
  EXPECT_TRUE(steps.allTaken());
}

// The names the dialog's list shows once it has read its folder (or after two seconds), sorted
// and joined by blanks; then `name` is chosen, or the dialog cancelled.
ModalSteps::Step readListing(std::string* names, const QString& name = {}) {
  auto firstSeen = std::make_shared<std::optional<Clock::time_point>>();
  return [names, name, firstSeen](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    auto* list =
        dialog == nullptr ? nullptr : dialog->findChild<QListView*>(QStringLiteral("listView"));
    if (list == nullptr || list->model() == nullptr) return false;
    if (!*firstSeen) *firstSeen = Clock::now();
    const QModelIndex root = list->rootIndex();
    const int rows = list->model()->rowCount(root);
    const auto waited = Clock::now() - **firstSeen;
    if (!(rows >= 2 && waited > 300ms) && waited < 2s) return false;
    // The line of `name` is clicked, as a user chooses, before the accept button.
    // A name not listed cancels.
    QStringList shown;
    bool found = false;
    for (int row = 0; row < rows; ++row) {
      const QModelIndex entry = list->model()->index(row, 0, root);
      shown.append(entry.data().toString());
      if (!name.isEmpty() && shown.back() == name) {
        list->setCurrentIndex(entry);
        found = true;
      }
    }
    shown.sort();
    *names = shown.join(QLatin1Char(' ')).toStdString();
    QMetaObject::invokeMethod(dialog, found ? &QDialog::accept : &QDialog::reject,
                              Qt::QueuedConnection);
    return true;
  };
}

TEST(QtFileDialogs, AProgramPickerListsTheProgramsAndFoldersOfItsFolder) {
  testing::TemporaryFolder folder;
  std::ofstream(folder / "connect") << "#!/bin/sh\n";
  fs::permissions(folder / "connect", fs::perms::owner_all | fs::perms::group_read |
                                          fs::perms::group_exec | fs::perms::others_read |
                                          fs::perms::others_exec);
  std::ofstream(folder / "notes.txt") << "x";
  fs::create_directory(folder / "scripts");
  FileDialogRequest request{"Укажите программу...", "Программы (*)", "", folder.path(), ""};
  request.executablesOnly = true;
  std::string programs, everything;
  ModalSteps steps({readListing(&programs, QStringLiteral("connect")), readListing(&everything)});
  QtFileDialogs dialogs;
  EXPECT_EQ(dialogs.openFile(request), folder / "connect");
  request.executablesOnly = false;
  dialogs.openFile(request);
  EXPECT_TRUE(steps.allTaken());
  EXPECT_EQ(programs, "connect scripts");
  EXPECT_EQ(everything, "connect notes.txt scripts");
}

TEST(QtTranslation, QtsOwnDialogsSpeakRussianFromBesideTheProgramFirst) {
  const QString system = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  ASSERT_TRUE(QFile::exists(system + QStringLiteral("/qtbase_ru.qm")))
      << "Debian's qt6-translations-l10n is missing";
  testing::TemporaryFolder beside;
  const QString besideFolder = QString::fromStdString(beside.path().string());
  const auto untranslate = [] {
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
      QCoreApplication::removeTranslator(translator);
      delete translator;
    }
  };

  // Nothing beside the program: Qt's own folder.
  EXPECT_EQ(installQtTranslation(*qApp, besideFolder), system + QStringLiteral("/qtbase_ru.qm"));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
  untranslate();
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));

  // The copy the Windows installer puts beside the program wins.
  fs::create_directories(beside / "translations");
  fs::copy_file(system.toStdString() + "/qtbase_ru.qm", beside / "translations" / "qtbase_ru.qm");
  EXPECT_EQ(installQtTranslation(*qApp, besideFolder),
            besideFolder + QStringLiteral("/translations/qtbase_ru.qm"));
  untranslate();
}

// Printing through lp and sounds through libcanberra are the Linux realisations.

// A stand-in lp in a folder of its own that is all of PATH while the test runs.
class LpReportPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* path = std::getenv("PATH");
    m_savedPath = path != nullptr ? path : "";
    fs::create_directories(m_folder / "bin");
    ::setenv("PATH", (m_folder / "bin").c_str(), 1);
  }
  void TearDown() override { ::setenv("PATH", m_savedPath.c_str(), 1); }

  void installLp(const std::string& script) {
    const fs::path lp = m_folder / "bin" / "lp";
    std::ofstream(lp) << "#!/bin/sh\n" << script;
    fs::permissions(lp, fs::perms::owner_all);
  }

  testing::TemporaryFolder m_folder;
  std::string m_savedPath;
};

TEST_F(LpReportPrinterTest, HandsTheFileToLpAndTellsNoCommandFromAFailure) {
  const fs::path report = m_folder / "мой отчёт.txt";
  const fs::path arguments = m_folder / "arguments";
  std::ofstream(report) << "report";
  LpReportPrinter printer(300ms);

  EXPECT_EQ(printer.print(report).outcome, PrintOutcome::NoPrintCommand);

  installLp("for a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + arguments.string() + "'; done\n");
  const PrintResult printed = printer.print(report);
  EXPECT_EQ(printed.outcome, PrintOutcome::Printed) << printed.reason;
  EXPECT_EQ(testing::fileContent(arguments), report.string() + "\n") << "one argument, whole";

  installLp("echo 'lp: Error - no default destination available.' >&2\nexit 1\n");
  const PrintResult refused = printer.print(report);
  EXPECT_EQ(refused.outcome, PrintOutcome::Failed);
  EXPECT_NE(refused.reason.find("lp"), std::string::npos) << refused.reason;
  EXPECT_NE(refused.reason.find(" 1: lp: Error - no default destination"), std::string::npos)
      << refused.reason;

  // A print system that hangs is given up on.
  installLp("exec /bin/sleep 30\n");
  const auto start = Clock::now();
  const PrintResult hung = printer.print(report);
  EXPECT_LT(Clock::now() - start, 2s);
  EXPECT_EQ(hung.outcome, PrintOutcome::Failed);
  EXPECT_FALSE(hung.reason.empty());
}

// A missing file and one that is no sound ring the bell, each once, on the window thread and
// only after play() returned; the machine needs no sound device for this.
TEST(CanberraSoundPlayer, RingsTheBellOnTheWindowThreadForAFileItCannotPlay) {
  testing::TemporaryFolder folder;
  std::ofstream(folder / "noise.wav") << "not a sound";
  int rung = 0;
  bool offThread = false;
  const auto windowThread = std::this_thread::get_id();
  {
    CanberraSoundPlayer player([&] {
      ++rung;
      if (std::this_thread::get_id() != windowThread) offThread = true;
    });
    player.play((folder / "missing.wav").string());
    player.play((folder / "noise.wav").string());
    EXPECT_EQ(rung, 0) << "rung before the window thread's loop turned";
    EXPECT_TRUE(testing::waitUntil(
        [&] {
          QCoreApplication::processEvents();
          return rung >= 2;
        },
        10s));
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(rung, 2);
  EXPECT_FALSE(offThread);
}

#endif

}  // namespace
}  // namespace pelmora
