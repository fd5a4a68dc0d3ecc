// Linux: flock, sysfs, libcanberra for the sounds, lp, QProcess.
#include "app/PlatformParts.h"

#include <iostream>

#include "app/linux/FileInstanceLock.h"
#include "monitor/linux/SysfsConnectionProbe.h"
#include "platform/DataFolder.h"
#include "platform/qt/QtFileOpener.h"
#include "platform/qt/linux/CanberraSoundPlayer.h"
#include "platform/qt/linux/LpReportPrinter.h"
#include "platform/qt/linux/QtProgramStarter.h"

namespace pelmora {

std::unique_ptr<InstanceLock> makeInstanceLock(const DataFolder& folder) {
  return std::make_unique<FileInstanceLock>(folder.instanceLock());
}

std::unique_ptr<ConnectionProbe> makeConnectionProbe() {
  return std::make_unique<SysfsConnectionProbe>(SysfsConnectionProbe::rootFromEnvironment());
}

std::unique_ptr<SoundPlayer> makeSoundPlayer() {
  return std::make_unique<CanberraSoundPlayer>();
}

std::unique_ptr<ProgramStarter> makeProgramStarter() {
  return std::make_unique<QtProgramStarter>();
}

std::unique_ptr<FileOpener> makeFileOpener() {
  return std::make_unique<QtFileOpener>();
}

const char* dataFolderUsage() {
  return "Данные: $PELMORA_HOME, иначе $XDG_DATA_HOME/pelmora (~/.local/share/pelmora).\n";
}

void showCommandLineAnswer(const std::string& text) {
  std::cout << text << std::flush;
}

std::unique_ptr<ReportPrinter> makeReportPrinter() {
  return std::make_unique<LpReportPrinter>();
}

}  // namespace pelmora
