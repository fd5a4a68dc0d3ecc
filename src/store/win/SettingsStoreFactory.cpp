#include "store/SettingsStoreFactory.h"

#include "store/win/RegistrySettingsStore.h"

namespace pelmora {

std::unique_ptr<SettingsStore> makeSettingsStore(const DataFolder&) {
  // The settings live under the user's key; an older installation's machine key is copied there
  // at the first start.
  copyMachineSettingsOnce();
  return std::make_unique<RegistrySettingsStore>();
}

std::unique_ptr<SettingsStore> openSettingsStoreToRead(const DataFolder&) {
  return std::make_unique<RegistrySettingsStore>();
}

}  // namespace pelmora
