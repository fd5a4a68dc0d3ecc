// The store work of the start-up sequence on the situations a store can be in at start.
#include "store/StoreProcedures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/ProgramOptions.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "store/StartUpSteps.h"
#include "support/MemorySettingsStore.h"

namespace pelmora {
namespace {

using testing::FixedScreen;
using testing::kExecutable;
using testing::MemorySettingsStore;
using testing::startUp;

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
  // The sounds and the connect program differ between systems.
  EXPECT_EQ(store.value(kProgramKey, "SoundON"), V(platformDefaults().soundOn));
  EXPECT_EQ(store.value(kProgramKey, "AppON"), V(platformDefaults().appOn));
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
  EXPECT_TRUE(writeMissingDefaults(store, FixedScreen()));
  EXPECT_EQ(store.value(kProgramKey, "Zero"), MemorySettingsStore::Value(0));
  EXPECT_EQ(store.value(kProgramKey, "XX"), MemorySettingsStore::Value(-300));
  EXPECT_EQ(store.value(kProgramKey, "MaxCents"), MemorySettingsStore::Value("lots"));
  EXPECT_EQ(store.value(kProgramKey, "ShowOnConnect"), MemorySettingsStore::Value(1));
  EXPECT_EQ(store.valueCount(kProgramKey), 42u);
  EXPECT_FALSE(writeMissingDefaults(store, FixedScreen()));
}

TEST(StoreProcedures, OneMissingTariffValueResetsTheWholeWeek) {
  MemorySettingsStore store;
  EXPECT_TRUE(ensureTariffWeek(store));
  store.set(tariffKey(5), "MaxC", 99);
  store.set(tariffKey(0), "MinAH", 3);
  EXPECT_FALSE(ensureTariffWeek(store));  // a complete week is kept as it is
  EXPECT_EQ(store.value(tariffKey(5), "MaxC"), MemorySettingsStore::Value(99));

  store.erase(tariffKey(3), "midc");
  EXPECT_TRUE(ensureTariffWeek(store));
  EXPECT_EQ(store.value(tariffKey(3), "MidC"), MemorySettingsStore::Value(60));
  EXPECT_EQ(store.value(tariffKey(5), "MaxC"), MemorySettingsStore::Value(75));
  EXPECT_EQ(store.value(tariffKey(0), "MinAH"), MemorySettingsStore::Value(2));
  EXPECT_FALSE(ensureTariffWeek(store));
}

TEST(StoreProcedures, LaunchCounterStartsAtOneAndCountsOnlyThisVersion) {
  MemorySettingsStore store;
  store.set(kApplicationsKey, "Pelmora v2.3", 40);
  countLaunch(store);
  EXPECT_EQ(store.value(kApplicationsKey, "Pelmora v2.4"), MemorySettingsStore::Value(1));
  countLaunch(store);
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
    stampVersionCheck(store, kExecutable);
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
  stampVersionCheck(store, kExecutable);
  store.set(kProgramKey, "VersionA", 2);
  store.set(kProgramKey, "VersionZ", 4);
  stampVersionCheck(store, kExecutable);
  EXPECT_EQ(store.value(kRunKey, "Pelmora v2.4"),
            MemorySettingsStore::Value("\"/elsewhere/pelmora\""));

  store.set(kProgramKey, "VersionA", "2");  // a stamp of the wrong type is a store error
  EXPECT_THROW(stampVersionCheck(store, kExecutable), StoreError);
}

}  // namespace
}  // namespace pelmora
