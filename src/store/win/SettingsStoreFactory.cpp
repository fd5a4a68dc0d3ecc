#include "store/SettingsStoreFactory.h"

#include "platform/DataFolder.h"
#include "platform/DataPlaces.h"
#include "store/FileSettingsStore.h"
#include "store/win/RegistrySettingsStore.h"
#include "store/win/StartupShortcuts.h"

namespace pelmora {

namespace {

// A portable copy keeps its data beside itself, the marker file there: its settings too, in a
// file, and its autostart in the user's Startup folder. It never touches the registry, so an
// installed copy never sees its settings, counters or balance, nor it theirs.
bool portable(const DataFolder& folder) {
  std::error_code ec;
  return std::filesystem::is_regular_file(folder.root() / kPortableMarker, ec);
}

std::unique_ptr<SettingsStore> portableStore(const DataFolder& folder) {
  return std::make_unique<FileSettingsStore>(
      folder.root() / kPortableSettingsFile,
      [shortcuts = StartupShortcuts(StartupShortcuts::defaultFolder())](const std::string& path) {
        return shortcuts.open(path);
      });
}

}  // namespace

std::unique_ptr<SettingsStore> makeSettingsStore(const DataFolder& folder) {
  if (portable(folder)) return portableStore(folder);
  // The settings live under the user's key; an older installation's machine key is copied there
  // at the first start.
  copyMachineSettingsOnce();
  return std::make_unique<RegistrySettingsStore>();
}

std::unique_ptr<SettingsStore> openSettingsStoreToRead(const DataFolder& folder) {
  if (portable(folder)) return portableStore(folder);
  return std::make_unique<RegistrySettingsStore>();
}

}  // namespace pelmora
