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

// The helper program, pelmora_test_helper.exe:
//   lock NAME            exit code 0 when the instance lock NAME was free, 1 when taken
//   args FILE ARG...     writes the arguments it received, one per line (UTF-8), into FILE
inline constexpr const char* kHelperProgram = "pelmora_test_helper.exe";

}  // namespace pelmora::testing
