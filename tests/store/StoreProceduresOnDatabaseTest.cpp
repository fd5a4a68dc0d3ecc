// The start-up store steps on the real database file and autostart folder.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <vector>

#include "store/linux/SqliteSettingsStore.h"
#include "store/StartUpSteps.h"
#include "store/StoreKeys.h"
#include "support/TemporaryFolder.h"

namespace pelmora {
namespace {

using testing::startUp;

// The whole start on the real store: a second start of the same version writes nothing but
// the stamp and the counter; an upgrade with autostart on moves the desktop entry.
TEST(StoreProcedures, StartsOnTheDatabaseAndTheAutostartFolder) {
  testing::TemporaryFolder folder;
  const auto database = folder / "registry.db";
  auto dump = [&] {
    sqlite3* db = nullptr;
    sqlite3_open(database.c_str(), &db);
    std::vector<std::string> out;
    sqlite3_exec(
        db, "SELECT key || '|' || name || '|' || type || '|' || data FROM entries ORDER BY 1",
        [](void* target, int, char** values, char**) {
          static_cast<std::vector<std::string>*>(target)->push_back(values[0]);
          return 0;
        },
        &out, nullptr);
    sqlite3_close(db);
    return out;
  };
  {
    SqliteSettingsStore store(database, folder / "autostart");
    EXPECT_EQ(startUp(store), std::make_pair(true, true));
    auto program = store.OpenKey(kProgramKey, true);
    program->WriteInteger("VersionZ", 3);  // as if 2.3 had run last, with autostart on
    store.OpenKey(kRunKey, true)->WriteString("Pelmora v2.3", "\"/old/pelmora\"");
  }
  std::vector<std::string> before = dump();
  {
    SqliteSettingsStore store(database, folder / "autostart");
    EXPECT_EQ(startUp(store), std::make_pair(false, false));
    auto run = store.OpenKey(kRunKey, true);
    EXPECT_FALSE(run->ValueExists("Pelmora v2.3"));
    EXPECT_EQ(run->ReadString("Pelmora v2.4"), "\"/opt/pelmora/bin/pelmora\"");
  }
  std::vector<std::string> after = dump();
  for (const char* expected :
       {"Software\\Kedrun\\Pelmora|SoundON|REG_SZ|"
        "/usr/share/sounds/freedesktop/stereo/service-login.oga",
        "Software\\Kedrun\\Pelmora|SoundOFF|REG_SZ|"
        "/usr/share/sounds/freedesktop/stereo/service-logout.oga",
        "Software\\Kedrun\\Pelmora|AppON|REG_SZ|xdg-open https://pelmora.example.org/"}) {
    EXPECT_NE(std::find(after.begin(), after.end(), expected), after.end()) << expected;
  }
  ASSERT_EQ(before.size(), after.size());
  std::vector<std::string> changed;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i] != after[i]) changed.push_back(after[i]);
  }
  EXPECT_EQ(changed, (std::vector<std::string>{"Software\\Kedrun\\Applications|Pelmora "
                                               "v2.4|REG_DWORD|2",
                                               "Software\\Kedrun\\Pelmora|VersionZ|REG_DWORD|4"}));
}

}  // namespace
}  // namespace pelmora
