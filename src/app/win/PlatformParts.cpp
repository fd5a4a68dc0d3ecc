// Windows: the named mutex, the remote-access service, sndPlaySound, CreateProcess, the shell's
// "print" verb.
#include "app/PlatformParts.h"

#include <windows.h>

#include "app/win/MutexInstanceLock.h"
#include "monitor/win/RasConnectionProbe.h"
#include "platform/DataFolder.h"
#include "platform/qt/QtFileOpener.h"
#include "platform/win/ConsoleOutput.h"
#include "platform/win/ShellReportPrinter.h"
#include "platform/win/WideText.h"
#include "platform/win/WinProgramStarter.h"
#include "platform/win/WinSoundPlayer.h"

namespace pelmora {

std::unique_ptr<InstanceLock> makeInstanceLock(const DataFolder&) {
  return std::make_unique<MutexInstanceLock>();
}

std::unique_ptr<ConnectionProbe> makeConnectionProbe() {
  // PELMORA_RASAPI: the path of a stand-in for the remote-access library (tests, measurements),
  // as PELMORA_SYSFS names a stand-in tree on Linux.
  if (const wchar_t* library = _wgetenv(L"PELMORA_RASAPI"); library != nullptr && *library != 0) {
    return std::make_unique<RasConnectionProbe>(narrow(library));
  }
  return std::make_unique<RasConnectionProbe>();
}

std::unique_ptr<SoundPlayer> makeSoundPlayer() {
  return std::make_unique<WinSoundPlayer>();
}

std::unique_ptr<ProgramStarter> makeProgramStarter() {
  return std::make_unique<WinProgramStarter>();
}

std::unique_ptr<ReportPrinter> makeReportPrinter() {
  return std::make_unique<ShellReportPrinter>();
}

std::unique_ptr<FileOpener> makeFileOpener() {
  return std::make_unique<QtFileOpener>(QStringLiteral("notepad.exe"));
}

const char* dataFolderUsage() {
  return "Данные: %PELMORA_HOME%, иначе папка программы (переносная копия с файлом\n"
         "Pelmora.portable), иначе %LOCALAPPDATA%\\Pelmora. Настройки: реестр,\n"
         "HKEY_CURRENT_USER\\Software\\Kedrun\\Pelmora.\n";
}

void showCommandLineAnswer(const std::string& text) {
  // Redirected output (a file, a pipe) is handed on as it is.
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output != nullptr && output != INVALID_HANDLE_VALUE &&
      GetFileType(output) != FILE_TYPE_UNKNOWN && writeText(output, text)) {
    return;
  }
  if (AttachConsole(ATTACH_PARENT_PROCESS) != 0) {
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    const bool written = console != INVALID_HANDLE_VALUE && writeText(console, text);
    if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
    FreeConsole();
    if (written) return;
  }
  // Started from Explorer or a shortcut: no console to write to.
  MessageBoxW(nullptr, widen(text).c_str(), L"Pelmora", MB_OK | MB_ICONINFORMATION);
}

}  // namespace pelmora
