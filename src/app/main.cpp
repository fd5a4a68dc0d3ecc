// Pelmora: meters a dial-up connection's time and cost.

#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include <QApplication>
#include <QDir>
#include <QLocale>

#include "app/InstanceLock.h"
#include "app/InstanceRequests.h"
#include "app/PlatformParts.h"
#include "app/ProgramCore.h"
#include "app/QtPlatformChoice.h"
#include "app/ShutdownSignals.h"
#include "monitor/ConnectionProbe.h"
#include "platform/DataFolder.h"
#include "platform/FileOpener.h"
#include "platform/PathText.h"
#include "platform/ProgramStarter.h"
#include "platform/ProgramVersion.h"
#include "platform/SoundPlayer.h"
#include "platform/ScriptedBeeper.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/ScriptedMessageBoxes.h"
#include "platform/ScriptedReportPrinter.h"
#include "platform/SystemClock.h"
#include "platform/qt/QtAddressOpener.h"
#include "platform/qt/QtBeeper.h"
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtPathText.h"
#include "platform/qt/QtScreen.h"
#include "platform/qt/QtTranslation.h"
#include "store/SettingsStore.h"
#include "ui/settings/TSettings.h"
#include "ui/status/TMainFrame.h"

using namespace pelmora;

namespace {

// The exit codes --help names.
constexpr int kExitAlreadyRunning = 1;  // another instance holds the data folder
constexpr int kExitFolderUnusable = 2;  // the data folder cannot be made, written or locked
constexpr int kExitFailed = 3;          // an error that reached the entry point

// PELMORA_ANSWERS lets tests and unattended runs answer every box; otherwise real boxes, which
// a shutdown signal closes without an answer.
std::unique_ptr<MessageBoxes> makeMessageBoxes(const bool& ending) {
  if (const char* answers = std::getenv("PELMORA_ANSWERS")) {
    return std::make_unique<ScriptedMessageBoxes>(answers, std::cerr);
  }
  return std::make_unique<QtMessageBoxes>([&ending] { return ending; });
}

// PELMORA_FILES answers the file dialogs, one path a line (an empty line cancels).
std::unique_ptr<FileDialogs> makeFileDialogs() {
  if (const char* answers = std::getenv("PELMORA_FILES")) {
    return std::make_unique<ScriptedFileDialogs>(answers, std::cerr);
  }
  return std::make_unique<QtFileDialogs>();
}

// Where the boxes are answered by a script, the beep of a refused entry is written beside them.
std::unique_ptr<Beeper> makeBeeper() {
  if (std::getenv("PELMORA_ANSWERS")) return std::make_unique<ScriptedBeeper>(std::cerr);
  return std::make_unique<QtBeeper>();
}

// PELMORA_PRINTER answers every print with its text ("printed", "none", "failed") instead of
// printing.
std::unique_ptr<ReportPrinter> makePrinter() {
  if (const char* answer = std::getenv("PELMORA_PRINTER")) {
    return std::make_unique<ScriptedReportPrinter>(answer, std::cerr);
  }
  return makeReportPrinter();
}

// The user's decimal separator for amount texts; a full stop where the locale's is not a
// single character the files could hold.
char decimalSeparator() {
  const QString point = QLocale().decimalPoint();
  return point.size() == 1 && point.at(0).unicode() < 0x80 ? point.at(0).toLatin1() : '.';
}

constexpr const char* kUsage =
    "Использование: pelmora [/off | /reboot | --status | --settings | --quit | --help |\n"
    "                        --version]\n"
    "\n"
    "Pelmora считает время и стоимость коммутируемого (PPP) подключения к интернету.\n"
    "\n"
    "  /off        запустить с выключенным контролем подключения\n"
    "  /reboot     перезапуск самой программой: дождаться завершения прежней копии\n"
    "  --status    показать окно статуса (запущенной программы или новой)\n"
    "  --settings  открыть настройки (запущенной программы или новой)\n"
    "  --quit      завершить запущенную программу, засчитав идущее соединение, и дождаться\n"
    "              её завершения (код 1, если она не завершилась за 30 секунд)\n"
    "  --help      показать эту справку и выйти\n"
    "  --version   показать версию и выйти\n"
    "\n"
    "%s"
    "История подключений для сценариев: pelmora-history --help.\n"
    "Коды выхода: 0 — работа завершена, 1 — программа уже запущена, 2 — папка данных\n"
    "недоступна, 3 — ошибка, остановившая программу.\n";

// --help and --version are answered on standard output before any window or data folder is
// made, so they work without a graphical session. Nothing when the program is to start.
std::optional<std::string> commandLineAnswer(int argc, char* argv[]) {
  if (argc < 2) return std::nullopt;
  const std::string_view first = argv[1];
  if (first == "--help" || first == "-h") {
    std::string usage = kUsage;
    usage.replace(usage.find("%s"), 2, dataFolderUsage());
    return usage;
  }
  if (first == "--version" || first == "-V")
    return std::string(kProgramName) + " " + kVersionText + "\n";
  return std::nullopt;
}

// This program's path in UTF-8 with the system's own separators: the autostart entry and the
// restart name it, and the user guide is looked for beside it.
std::string executablePath() {
  return utf8Path(pathFromText(QDir::toNativeSeparators(QCoreApplication::applicationFilePath())));
}

// What the menu entry's actions ask for: "--status" and "--settings" as the first argument.
std::optional<InstanceRequest> requestOf(const QString& first) {
  if (first == QStringLiteral("--status")) return InstanceRequest::ShowStatus;
  if (first == QStringLiteral("--settings")) return InstanceRequest::OpenSettings;
  if (first == QStringLiteral("--quit")) return InstanceRequest::EndSettled;
  return std::nullopt;
}

// On a Wayland session the status window goes through Xwayland where there is one, unless the
// user chose a platform.
std::optional<std::string> environmentVariable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

void choosePlatform() {
  if (const std::optional<std::string> platform = preferredQtPlatform(environmentVariable)) {
    qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(*platform));
  }
}

// Wayland lets no program keep its window above the others or put it where it was: the window
// can be neither kept on top nor placed, and its position is not stored.
bool windowSystemPlacesWindows() {
  return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

}  // namespace

int main(int argc, char* argv[]) {
  if (const std::optional<std::string> answer = commandLineAnswer(argc, argv)) {
    showCommandLineAnswer(*answer);
    return 0;
  }
  choosePlatform();
  QApplication app(argc, argv);
  const bool placeable = windowSystemPlacesWindows();
  if (!placeable) std::cerr << kNativeWaylandNotice << std::flush;
  QApplication::setApplicationName(QString::fromUtf8(kProgramName));
  // Wayland desktops match the windows to the menu entry and its icon by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Pelmora"));
  // The status window is hidden most of the time; only quitting ends the program.
  QApplication::setQuitOnLastWindowClosed(false);
  // Every text the user reads is Russian, Qt's own dialog buttons included.
  installQtTranslation(app, QApplication::applicationDirPath());

  bool ending = false;  // a shutdown signal came
  const auto boxes = makeMessageBoxes(ending);
  const DataFolder folder = DataFolder::fromEnvironment();
  if (const std::error_code problem = folder.prepare()) {
    boxes->show(informationBox(kProgramName, unusableFolderText(folder.root(), problem),
                               MessageIcon::Error));
    return kExitFolderUnusable;
  }

  // A restart waits until the instance that launched it has ended, so two never meter at once.
  const auto lock = makeInstanceLock(folder);
  const QStringList arguments = QCoreApplication::arguments();
  const LockResult locked = arguments.value(1) == QStringLiteral("/reboot")
                                ? lock->acquireWhenFree(kRestartWait)
                                : lock->acquire();
  if (locked.outcome == LockOutcome::Unusable) {
    boxes->show(informationBox(kProgramName, unusableFolderText(folder.root(), locked.error),
                               MessageIcon::Error));
    return kExitFolderUnusable;
  }
  const std::optional<InstanceRequest> request = requestOf(arguments.value(1));
  if (request == InstanceRequest::EndSettled) {
    // Nothing runs, or the running instance is asked to end and waited for.
    if (locked.first()) return 0;
    InstanceRequests::send(folder, InstanceRequest::EndSettled);
    lock->release();  // our own reference would count as the instance still running
    return lock->acquireWhenFree(kRestartWait).first() ? 0 : kExitAlreadyRunning;
  }
  if (locked.outcome == LockOutcome::Taken) {
    // The menu entry's actions reach the running instance quietly; a plain start is refused
    // and still brings the running instance's window up, so a desktop without a tray never
    // loses it.
    const bool sent = InstanceRequests::send(folder, request.value_or(InstanceRequest::ShowStatus));
    if (request && sent) return 0;
    boxes->show(informationBox(kProgramName, "Программа уже запущена!"));
    return kExitAlreadyRunning;
  }

  try {
    SystemClock clock;
    const auto probe = makeConnectionProbe();
    const auto starter = makeProgramStarter();
    const auto sound = makeSoundPlayer();
    const auto store = makeSettingsStore(folder);
    QtScreen screen;
    ShutdownSignals shutdownSignals;

    const std::string executable = executablePath();
    const char separator = decimalSeparator();

    ProgramCore core(ProgramCore::Services{.clock = clock,
                                           .probe = *probe,
                                           .boxes = *boxes,
                                           .starter = *starter,
                                           .sound = *sound,
                                           .store = *store,
                                           .screen = screen,
                                           .folder = folder,
                                           .executable = executable,
                                           .terminate = &TMainFrame::endEventLoop,
                                           .decimalSeparator = separator});
    TMainFrame frame(TMainFrame::Services{
        .core = core, .screen = screen, .arguments = arguments, .placeable = placeable});
    if (unmanagedStatusWindow(environmentVariable, QGuiApplication::platformName().toStdString())) {
      frame.setWindowFlag(Qt::X11BypassWindowManagerHint);
    }
    const auto files = makeFileDialogs();
    const auto beeper = makeBeeper();
    const auto printer = makePrinter();
    const auto opener = makeFileOpener();
    QtAddressOpener links;
    // Created hidden and kept to the end; destroyed before the status window it moves.
    TSettings settings(core, frame,
                       SettingsServices{.store = *store,
                                        .boxes = *boxes,
                                        .clock = clock,
                                        .screen = screen,
                                        .sound = *sound,
                                        .starter = *starter,
                                        .files = *files,
                                        .beeper = *beeper,
                                        .opener = *opener,
                                        .printer = *printer,
                                        .links = links,
                                        .folder = folder,
                                        .executable = executable,
                                        .decimalSeparator = separator});
    QObject::connect(&shutdownSignals, &ShutdownSignals::received, &frame, [&] {
      ending = true;
      frame.systemShutdown();
    });
    // What a later start asks: the status window, or the settings where the menu allows them.
    const auto answer = [&frame, &core](InstanceRequest asked) {
      if (asked == InstanceRequest::EndSettled) {
        core.endSettled();
      } else if (asked == InstanceRequest::OpenSettings && frame.mSettings->isEnabled()) {
        frame.openSettings(QStringLiteral("o"));
      } else {
        frame.mStatusClick();
      }
    };
    InstanceRequests requests(folder);
    QObject::connect(&requests, &InstanceRequests::received, &frame, answer);
    frame.startUp();
    // A shutdown signal during a start-up question ended the program before its loop began.
    if (frame.ending()) return 0;
    requests.listen();
    if (request) answer(*request);
    QApplication::exec();
  } catch (const std::exception& e) {
    boxes->show(informationBox(kProgramName, e.what(), MessageIcon::Error));
    return kExitFailed;
  }
  return 0;
}
