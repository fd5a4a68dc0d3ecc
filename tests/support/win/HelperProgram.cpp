#include "support/win/HelperProgram.h"

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace pelmora::testing {

std::filesystem::path besideThisProgram(const std::string& name) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return std::filesystem::path(path).parent_path() / name;
}

int runAndWait(const std::wstring& commandLine, std::chrono::milliseconds timeout) {
  std::wstring line = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return -1;
  }
  CloseHandle(process.hThread);
  int result = -1;
  if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0) {
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) result = static_cast<int>(code);
  } else {
    TerminateProcess(process.hProcess, 99);
  }
  CloseHandle(process.hProcess);
  return result;
}

namespace {

struct SessionWindows {
  DWORD process;
  std::vector<HWND> found;
};

}  // namespace

bool endSession(unsigned long processId, std::chrono::milliseconds timeout) {
  SessionWindows search{processId, {}};
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto* s = reinterpret_cast<SessionWindows*>(data);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          wchar_t name[64] = {};
          GetClassNameW(window, name, 64);
          if ((s->process == 0 || owner == s->process) &&
              std::wstring(name) == L"PelmoraSessionEnd") {
            s->found.push_back(window);
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found.empty() || std::chrono::steady_clock::now() >= end) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  for (HWND window : search.found) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, SMTO_BLOCK, 5000,
                        &answer);
    SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_BLOCK, 5000,
                        &answer);
  }
  return !search.found.empty();
}

}  // namespace pelmora::testing
