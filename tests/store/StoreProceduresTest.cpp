// The store work of the start-up sequence on the situations a store can be in at start.
#include "store/StoreProcedures.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "store/SqliteSettingsStore.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "store/TemporaryFolder.h"
#include "support/MemorySettingsStore.h"

namespace pelmora {
namespace {

using testing::MemorySettingsStore;

class FixedScreen final : public Screen {
 public:
  ScreenSize size() const override { return {1280, 1024}; }
};

constexpr const char* kExecutable = "/opt/pelmora/bin/pelmora";

// The start-up sequence's store steps, in its order; returns {defaults written, tariffs
// incomplete}.
std::pair<bool, bool> startUp(SettingsStore& store) {
  StampVersionCheck(store, kExecutable);
  const bool defaultsWritten = WriteMissingDefaults(store, FixedScreen());
  const bool tariffsIncomplete = EnsureTariffWeek(store);
  StampVersionWrite(store);
  CountLaunch(store);
  return {defaultsWritten, tariffsIncomplete};
}

TEST(StoreProcedures, EmptyStoreGetsEveryDefaultTheWeekAndTheStamp) {
  MemorySettingsStore store;
  EXPECT_EQ(startUp(store), std::make_pair(true, true));

  // 42 defaults and the three version values.
  EXPECT_EQ(store.valueCount(kProgramKey), 45u);
  using V = MemorySettingsStore::Value;
  EXPECT_EQ(store.value(kProgramKey, "HideOnDisconnect"), V(1));
  EXPECT_EQ(store.value(kProgramKey, "ShowOnStart"), V(0));
  EXPECT_EQ(store.value(kProgramKey, "MaxCents"), V(100));
  EXPECT_EQ(store.value(kProgramKey, "CentsT"), V("0"));
  EXPECT_EQ(store.value(kProgramKey, "SecondsPlus"), V(5));
  EXPECT_EQ(store.value(kProgramKey, "Zero"), V(20));
  EXPECT_EQ(store.value(kProgramKey, "XX"), V(1280 - 105));
  EXPECT_EQ(store.value(kProgramKey, "YY"), V(1024 - 85));
  EXPECT_EQ(store.value(kProgramKey, "CurrencySub"), V("ц."));
  EXPECT_EQ(store.value(kProgramKey, "Currency"), V("$"));
  EXPECT_EQ(store.value(kProgramKey, "SoundON"),
            V("/usr/share/sounds/freedesktop/stereo/service-login.oga"));
  EXPECT_EQ(store.value(kProgramKey, "SoundOFF"),
            V("/usr/share/sounds/freedesktop/stereo/service-logout.oga"));
  EXPECT_EQ(store.value(kProgramKey, "AppON"), V("xdg-open https://pelmora.example.org/"));
  EXPECT_EQ(store.value(kProgramKey, "AppOFF"), V(""));
  EXPECT_EQ(store.value(kProgramKey, "CurrencyCustomB"), V("ТУГРИКОВ"));
  EXPECT_EQ(store.value(kProgramKey, "Trunc"), V(0));
  EXPECT_EQ(store.value(kProgramKey, "VersionA"), V(2));
  EXPECT_EQ(store.value(kProgramKey, "VersionZ"), V(4));
  EXPECT_EQ(store.value(kProgramKey, "Version"), V("2.4"));
  // Account and Date belong to later steps of the start.
  EXPECT_FALSE(store.value(kProgramKey, "Account"));

  for (int day = 0; day < 7; ++day) {
    EXPECT_EQ(store.valueCount(tariffKey(day)), 15u) << day;
    EXPECT_EQ(store.value(tariffKey(day), "MaxAH"), V(20));
    EXPECT_EQ(store.value(tariffKey(day), "MaxZH"), V(2));
    EXPECT_EQ(store.value(tariffKey(day), "MidAM"), V(30));
    EXPECT_EQ(store.value(tariffKey(day), "MidC"), V(60));
    EXPECT_EQ(store.value(tariffKey(day), "MinZM"), V(30));
    EXPECT_EQ(store.value(tariffKey(day), "MinC"), V(20));
  }
  EXPECT_EQ(store.value(kApplicationsKey, "Pelmora v2.4"), V(1));
  EXPECT_FALSE(store.value(kRunKey, "Pelmora v2.4"));  // autostart stays off
}

TEST(StoreProcedures, ExistingValuesAreLeftAloneWhateverTheyHold) {
  MemorySettingsStore store;
  store.set(kProgramKey, "Zero", 0);
  store.set(kProgramKey, "XX", -300);          // off screen: not checked
  store.set(kProgramKey, "MaxCents", "lots");  // wrong type: not repaired
  EXPECT_TRUE(WriteMissingDefaults(store, FixedScreen()));
  EXPECT_EQ(store.value(kProgramKey, "Zero"), MemorySettingsStore::Value(0));
  EXPECT_EQ(store.value(kProgramKey, "XX"), MemorySettingsStore::Value(-300));
  EXPECT_EQ(store.value(kProgramKey, "MaxCents"), MemorySettingsStore::Value("lots"));
  EXPECT_EQ(store.value(kProgramKey, "ShowOnConnect"), MemorySettingsStore::Value(1));
  EXPECT_EQ(store.valueCount(kProgramKey), 42u);
  EXPECT_FALSE(WriteMissingDefaults(store, FixedScreen()));
}

TEST(StoreProcedures, OneMissingTariffValueResetsTheWholeWeek) {
  MemorySettingsStore store;
  EXPECT_TRUE(EnsureTariffWeek(store));
  store.set(tariffKey(5), "MaxC", 99);
  store.set(tariffKey(0), "MinAH", 3);
  EXPECT_FALSE(EnsureTariffWeek(store));  // a complete week is kept as it is
  EXPECT_EQ(store.value(tariffKey(5), "MaxC"), MemorySettingsStore::Value(99));

  store.erase(tariffKey(3), "midc");
  EXPECT_TRUE(EnsureTariffWeek(store));
  EXPECT_EQ(store.value(tariffKey(3), "MidC"), MemorySettingsStore::Value(60));
  EXPECT_EQ(store.value(tariffKey(5), "MaxC"), MemorySettingsStore::Value(75));
  EXPECT_EQ(store.value(tariffKey(0), "MinAH"), MemorySettingsStore::Value(2));
  EXPECT_FALSE(EnsureTariffWeek(store));
}

TEST(StoreProcedures, LaunchCounterStartsAtOneAndCountsOnlyThisVersion) {
  MemorySettingsStore store;
  store.set(kApplicationsKey, "Pelmora v2.3", 40);
  CountLaunch(store);
  EXPECT_EQ(store.value(kApplicationsKey, "Pelmora v2.4"), MemorySettingsStore::Value(1));
  CountLaunch(store);
  EXPECT_EQ(store.value(kApplicationsKey, "Pelmora v2.4"), MemorySettingsStore::Value(2));
  EXPECT_EQ(store.value(kApplicationsKey, "Pelmora v2.3"), MemorySettingsStore::Value(40));
}

TEST(StoreProcedures, VersionChangeMovesAutostartOnlyWhenItWasOn) {
  auto upgraded = [](bool autostartWasOn) {
    MemorySettingsStore store;
    store.set(kProgramKey, "VersionA", 2);
    store.set(kProgramKey, "VersionZ", 3);
    if (autostartWasOn) store.set(kRunKey, "Pelmora v2.3", "\"/old/pelmora\"");
    store.set(kRunKey, "Other program", "\"/usr/bin/other\"");
    StampVersionCheck(store, kExecutable);
    EXPECT_FALSE(store.value(kRunKey, "Pelmora v2.3"));
    EXPECT_EQ(store.value(kRunKey, "Other program"),
              MemorySettingsStore::Value("\"/usr/bin/other\""));
    return store.value(kRunKey, "Pelmora v2.4");
  };
  EXPECT_EQ(upgraded(true), MemorySettingsStore::Value("\"/opt/pelmora/bin/pelmora\""));
  EXPECT_FALSE(upgraded(false));
}

TEST(StoreProcedures, SameVersionOrNoStampLeavesAutostartAlone) {
  MemorySettingsStore store;
  store.set(kRunKey, "Pelmora v2.4", "\"/elsewhere/pelmora\"");
  store.set(kProgramKey, "VersionZ", 3);  // VersionA missing: as after a reset
  StampVersionCheck(store, kExecutable);
  store.set(kProgramKey, "VersionA", 2);
  store.set(kProgramKey, "VersionZ", 4);
  StampVersionCheck(store, kExecutable);
  EXPECT_EQ(store.value(kRunKey, "Pelmora v2.4"),
            MemorySettingsStore::Value("\"/elsewhere/pelmora\""));

  store.set(kProgramKey, "VersionA", "2");  // a stamp of the wrong type is a store error
  EXPECT_THROW(StampVersionCheck(store, kExecutable), StoreError);
}

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
