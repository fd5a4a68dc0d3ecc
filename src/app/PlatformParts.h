#pragma once

#include <memory>
#include <string>

#include "store/SettingsStoreFactory.h"

namespace pelmora {

class ConnectionProbe;
class DataFolder;
class FileOpener;
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

// Opens a file in its default program (the connection log's viewer).
std::unique_ptr<FileOpener> makeFileOpener();

// The usage text's lines about the data folder, true on this system.
const char* dataFolderUsage();
// Shows a command-line answer (--help, --version) where the user sees it: standard output; on
// Windows, where the program has no console of its own, the console it was started from (its
// letters as the console shows them), else a message box.
void showCommandLineAnswer(const std::string& text);

}  // namespace pelmora
