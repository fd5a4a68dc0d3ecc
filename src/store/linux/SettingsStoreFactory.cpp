#include "store/SettingsStoreFactory.h"

#include <filesystem>
#include <system_error>

#include "platform/DataFolder.h"
#include "store/StoreError.h"
#include "store/linux/AutostartFolder.h"
#include "store/linux/SqliteSettingsStore.h"

namespace pelmora {

std::unique_ptr<SettingsStore> makeSettingsStore(const DataFolder& folder) {
  return std::make_unique<SqliteSettingsStore>(folder.settingsDatabase(),
                                               AutostartFolder::defaultFolder());
}

std::unique_ptr<SettingsStore> openSettingsStoreToRead(const DataFolder& folder) {
  const std::filesystem::path database = folder.settingsDatabase();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(database, ec) ||
      std::filesystem::file_size(database, ec) == 0 || ec) {
    throw StoreError(database.string(), "", "Базы настроек нет.");
  }
  return std::make_unique<SqliteSettingsStore>(database, AutostartFolder::defaultFolder(),
                                               SqliteSettingsStore::Access::ReadOnly);
}

}  // namespace pelmora
