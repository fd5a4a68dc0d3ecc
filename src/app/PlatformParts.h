#pragma once

#include <memory>

namespace pelmora {

class ConnectionProbe;
class DataFolder;
class InstanceLock;
class ProgramStarter;
class ReportPrinter;
class SettingsStore;
class SoundPlayer;

// The pieces of the program that differ between systems; the build picks one realisation.
std::unique_ptr<InstanceLock> makeInstanceLock(const DataFolder& folder);
std::unique_ptr<ConnectionProbe> makeConnectionProbe();
std::unique_ptr<SettingsStore> makeSettingsStore(const DataFolder& folder);
std::unique_ptr<SoundPlayer> makeSoundPlayer();
std::unique_ptr<ProgramStarter> makeProgramStarter();
std::unique_ptr<ReportPrinter> makeReportPrinter();

}  // namespace pelmora
