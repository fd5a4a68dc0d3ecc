#pragma once

#include <memory>

#include "store/SettingsStoreFactory.h"

namespace pelmora {

class ConnectionProbe;
class DataFolder;
class InstanceLock;
class ProgramStarter;
class ReportPrinter;
class SoundPlayer;

// The pieces of the program that differ between systems; the build picks one realisation. The
// settings store (makeSettingsStore) comes from the store's factory, which pelmora-history shares.
std::unique_ptr<InstanceLock> makeInstanceLock(const DataFolder& folder);
std::unique_ptr<ConnectionProbe> makeConnectionProbe();
std::unique_ptr<SoundPlayer> makeSoundPlayer();
std::unique_ptr<ProgramStarter> makeProgramStarter();
std::unique_ptr<ReportPrinter> makeReportPrinter();

}  // namespace pelmora
