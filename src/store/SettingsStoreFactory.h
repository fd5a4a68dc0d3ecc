#pragma once

#include <memory>

namespace pelmora {

class DataFolder;
class SettingsStore;

// This system's settings store, for the program and pelmora-history alike: on Linux the SQLite
// database in the data folder with the XDG autostart folder, on Windows the user's registry key
// (linux/SettingsStoreFactory.cpp, win/SettingsStoreFactory.cpp).

// The program's store, read and written. On Windows an older installation's machine key is
// copied to the user's key at the first start.
std::unique_ptr<SettingsStore> makeSettingsStore(const DataFolder& folder);

// The program's store, only read. On Linux a database that is missing or empty is not opened at
// all (StoreError), and the file is opened read-only: no journal mode, no tables, no companion
// files.
std::unique_ptr<SettingsStore> openSettingsStoreToRead(const DataFolder& folder);

}  // namespace pelmora
