#include "accounting/ZoneOutlook.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(ZoneOutlookTest, NextCheaperZoneOverTheDefaultDayAndIntoTomorrow) {
  const DayTariffs day = defaultDayTariffs();
  // Evening #1 (75) runs past midnight: the night zone #3 (20) begins tomorrow at 2:00.
  auto cheaper = nextCheaperZone(day, day, 21, 30, 75);
  ASSERT_TRUE(cheaper);
  EXPECT_EQ(cheaper->zone, Zone::Min);
  EXPECT_EQ(cheaper->price, 20);
  EXPECT_EQ(cheaper->hour, 2);
  EXPECT_EQ(cheaper->minute, 0);
  EXPECT_TRUE(cheaper->tomorrow);
  // In the small hours #1 still holds until 2:00 today.
  cheaper = nextCheaperZone(day, day, 0, 15, 75);
  ASSERT_TRUE(cheaper);
  EXPECT_FALSE(cheaper->tomorrow);
  EXPECT_EQ(cheaper->hour, 2);
  // Daytime #2 (60): the evening is dearer, so the next cheaper minute is tomorrow night.
  cheaper = nextCheaperZone(day, day, 12, 0, zoneHourPrice(day, lookupZone(day, 12, 0)));
  ASSERT_TRUE(cheaper);
  EXPECT_TRUE(cheaper->tomorrow);
  EXPECT_EQ(cheaper->zone, Zone::Min);
  // The cheapest zone has nothing cheaper, unless tomorrow's tariffs do.
  EXPECT_FALSE(nextCheaperZone(day, day, 3, 0, 20));
  DayTariffs sale = day;
  sale.mid.price = 10;
  cheaper = nextCheaperZone(day, sale, 3, 0, 20);
  ASSERT_TRUE(cheaper);
  EXPECT_EQ(cheaper->zone, Zone::Mid);
  EXPECT_EQ(cheaper->hour, 9);
  EXPECT_EQ(cheaper->minute, 30);
  EXPECT_TRUE(cheaper->tomorrow);
}

}  // namespace
}  // namespace pelmora
