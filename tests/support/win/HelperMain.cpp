// A second process for the tests of the Windows realisations: it takes the instance lock,
// reports the arguments a started program receives, or ends the session for the program.
#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/win/MutexInstanceLock.h"
#include "platform/win/WideText.h"
#include "support/win/HelperProgram.h"

int main() {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == nullptr || count < 3) return 2;
  const std::wstring mode = args[1];
  if (mode == L"lock") {
    pelmora::MutexInstanceLock lock(pelmora::narrow(args[2]));
    return lock.acquire().first() ? 0 : 1;
  }
  if (mode == L"endsession") {
    return pelmora::testing::endSession(0, std::chrono::seconds(10)) ? 0 : 1;
  }
  if (mode == L"args") {
    // Written beside the target and renamed, so the test never reads half a file.
    const std::wstring target = args[2];
    const std::wstring part = target + L".part";
    {
      std::ofstream out(std::filesystem::path(part), std::ios::binary);
      for (int i = 3; i < count; ++i) out << pelmora::narrow(args[i]) << '\n';
    }
    return MoveFileExW(part.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 3;
  }
  return 2;
}
