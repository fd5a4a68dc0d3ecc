#include "platform/win/ShellReportPrinter.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>

namespace pelmora {

PrintResult ShellReportPrinter::print(const std::filesystem::path& file) {
  const HINSTANCE result =
      ShellExecuteW(nullptr, L"print", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  // The shell answers with a number above 32 on success and an error code otherwise.
  const auto code = reinterpret_cast<std::intptr_t>(result);
  if (code > 32) return {PrintOutcome::Printed, {}};
  if (code == SE_ERR_NOASSOC) return {PrintOutcome::NoPrintCommand, {}};
  return {PrintOutcome::Failed, "ShellExecute " + std::to_string(code)};
}

}  // namespace pelmora
