#include "platform/win/WinProgramStarter.h"

#include <windows.h>

#include <string>

#include "platform/WindowsCommandLine.h"
#include "platform/win/WideText.h"

namespace pelmora {

namespace {

bool launch(const std::string& commandLine) {
  std::wstring line = widen(commandLine);
  if (line.empty()) return false;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool isFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

bool WinProgramStarter::start(const std::string& program,
                              const std::vector<std::string>& arguments) {
  return !program.empty() && launch(windowsCommandLine(program, arguments));
}

bool WinProgramStarter::startCommandLine(const std::string& commandLine) {
  return launch(quoteProgramOfCommandLine(commandLine, isFile));
}

}  // namespace pelmora
