#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace pelmora::testing {

// A file in the folder of the running test program (where the helper programs are built).
std::filesystem::path besideThisProgram(const std::string& name);

// Runs the command line and waits for its exit code; -1 when it could not be started or did
// not end in time.
int runAndWait(const std::wstring& commandLine, std::chrono::milliseconds timeout);

// Ends the session for the program's process as Windows does: asks its hidden session window
// (WM_QUERYENDSESSION), then tells it (WM_ENDSESSION); process 0 means every such window. False
// when no window was found within the timeout.
bool endSession(unsigned long processId, std::chrono::milliseconds timeout);

// The helper program, pelmora_test_helper.exe:
//   lock NAME            exit code 0 when the instance lock NAME was free, 1 when taken
//   args FILE ARG...     writes the arguments it received, one per line (UTF-8), into FILE
//   endsession all       ends the session for every running Pelmora (exit code 1: none found)
inline constexpr const char* kHelperProgram = "pelmora_test_helper.exe";

}  // namespace pelmora::testing
