#include "store/StoredTariffs.h"

#include <gtest/gtest.h>

#include "store/StoreError.h"
#include "support/AccountingStore.h"

namespace pelmora {
namespace {

using testing::MemorySettingsStore;

DayTariffs day(TariffZone max, TariffZone mid, TariffZone min) {
  return {max, mid, min};
}

TEST(Tariffs, ReadsADayFromItsWeekdayKey) {
  MemorySettingsStore store;
  testing::seedStore(store);
  const DayTariffs friday = day({21, 5, 1, 15, 99}, {10, 0, 21, 5, 50}, {1, 15, 10, 0, 7});
  testing::putDay(store, 5, friday);
  const DayTariffs read = readDayTariffs(store, 5);
  EXPECT_EQ(read.max.beginMinute, 5);
  EXPECT_EQ(read.max.endMinute, 15);
  EXPECT_EQ(read.mid.price, 50);
  EXPECT_EQ(read.min.endHour, 10);
  EXPECT_EQ(read.min.price, 7);
  EXPECT_EQ(readDayTariffs(store, 4).max.price, 75);

  store.erase(tariffKey(2), "MidC");
  EXPECT_THROW(readDayTariffs(store, 2), StoreError);
}

}  // namespace
}  // namespace pelmora
