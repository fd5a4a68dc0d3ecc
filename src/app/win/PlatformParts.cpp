// Windows: the named mutex, the remote-access service, sndPlaySound, CreateProcess, the shell's
// "print" verb.
#include "app/PlatformParts.h"

#include "app/win/MutexInstanceLock.h"
#include "monitor/win/RasConnectionProbe.h"
#include "platform/DataFolder.h"
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

}  // namespace pelmora
