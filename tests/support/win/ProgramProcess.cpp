// The real program on Windows: started with CreateProcessW and a wide environment block, its
// standard error written to a file; the end of the session stands for SIGTERM.
#include "support/ProgramProcess.h"

#include <windows.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/PathText.h"
#include "platform/win/WideText.h"
#include "support/win/HelperProgram.h"

namespace pelmora::testing {

namespace {

HANDLE processHandle(pid_t pid) {
  return OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                     static_cast<DWORD>(pid));
}

}  // namespace

ProgramProcess::ProgramProcess(std::filesystem::path executable, std::vector<std::string> arguments,
                               std::map<std::string, std::string> environment,
                               std::filesystem::path stderrFile)
    : m_stderrFile(std::move(stderrFile)) {
  // The inherited environment without the names the test sets; an empty value removes a name.
  std::wstring block;
  wchar_t* inherited = GetEnvironmentStringsW();
  for (const wchar_t* e = inherited; *e != L'\0'; e += wcslen(e) + 1) {
    const std::wstring entry = e;
    const std::string name = narrow(entry.substr(0, entry.find(L'=', 1)));
    if (!environment.count(name)) block += entry + L'\0';
  }
  FreeEnvironmentStringsW(inherited);
  for (const auto& [name, value] : environment) {
    if (!value.empty()) block += widen(name + "=" + value) + L'\0';
  }
  block += L'\0';

  std::wstring line = L"\"" + executable.wstring() + L"\"";
  for (const std::string& argument : arguments) line += L" " + widen(argument);

  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE err = CreateFileW(m_stderrFile.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                           &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                     block.data(), nullptr, &startup, &process)) {
    m_pid = static_cast<pid_t>(process.dwProcessId);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
}

ProgramProcess::~ProgramProcess() {
  if (running()) {
    signal(SIGABRT);
    wait(std::chrono::seconds(5));
  }
}

bool ProgramProcess::running() {
  if (m_pid <= 0 || m_status != -1) return false;
  HANDLE process = processHandle(m_pid);
  if (process == nullptr) return false;
  DWORD code = STILL_ACTIVE;
  const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  if (ended && GetExitCodeProcess(process, &code)) m_status = static_cast<int>(code);
  CloseHandle(process);
  return !ended;
}

// SIGTERM: the session ends (asked, then told, as Windows does); anything else kills.
void ProgramProcess::signal(int signo) {
  if (!running()) return;
  if (signo == SIGTERM) {
    endSession(static_cast<unsigned long>(m_pid), std::chrono::seconds(10));
    return;
  }
  HANDLE process = processHandle(m_pid);
  if (process != nullptr) {
    TerminateProcess(process, 128 + static_cast<UINT>(signo));
    CloseHandle(process);
  }
}

std::map<std::string, std::string> offscreenEnvironment(const std::filesystem::path& home,
                                                        const std::filesystem::path&) {
  std::filesystem::create_directories(home);
  return {{"QT_QPA_PLATFORM", "offscreen"}, {"PELMORA_HOME", utf8Path(home)}};
}

bool instanceLockHeld(const std::filesystem::path&) {
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Pelmora");
  if (mutex == nullptr) return false;
  CloseHandle(mutex);
  return true;
}

}  // namespace pelmora::testing
