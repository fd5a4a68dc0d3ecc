#include "store/SettingsStore.h"

#include "store/StoreError.h"

namespace pelmora {

std::unique_ptr<StoreKey> openKey(SettingsStore& store, const std::string& path) {
  auto key = store.OpenKey(path, true);
  if (!key) throw StoreError(path, "", "Ключ не удалось открыть.");
  return key;
}

}  // namespace pelmora
