#include "accounting/Tariffs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "support/RecordingMessageBoxes.h"

namespace pelmora {
namespace {

DayTariffs day(TariffZone max, TariffZone mid, TariffZone min) {
  return {max, mid, min};
}

std::string at(const DayTariffs& d, int h, int m) {
  return zoneName(lookupZone(d, h, m));
}

TEST(LookupZone, DefaultDayTilesAtItsBoundaries) {
  const DayTariffs d = defaultDayTariffs();
  EXPECT_EQ(at(d, 0, 0), "MAX");
  EXPECT_EQ(at(d, 1, 59), "MAX");
  EXPECT_EQ(at(d, 2, 0), "MIN");
  EXPECT_EQ(at(d, 9, 29), "MIN");
  EXPECT_EQ(at(d, 9, 30), "MID");
  EXPECT_EQ(at(d, 19, 59), "MID");
  EXPECT_EQ(at(d, 20, 0), "MAX");
  EXPECT_EQ(at(d, 23, 59), "MAX");
}

TEST(LookupZone, GapsAndOverlapsFollowTheRuleOrder) {
  DayTariffs d = defaultDayTariffs();
  d.min.beginHour = 3;  // 02:00-02:59 uncovered
  EXPECT_EQ(at(d, 2, 15), "NULL");
  EXPECT_EQ(at(d, 3, 0), "MIN");

  // A gap inside one hour is not seen.
  d = defaultDayTariffs();
  d.min.endMinute = 0;
  EXPECT_EQ(at(d, 9, 15), "MID");

  // An overlap inside one hour: the end rule of MIN comes after the begin rule of MID.
  d = defaultDayTariffs();
  d.min.endMinute = 45;
  EXPECT_EQ(at(d, 9, 40), "MIN");

  // Whole hours covered twice: MID over MIN, MAX over MID.
  d = defaultDayTariffs();
  d.mid.beginHour = 8;   // MIN and MID both hold hour 8
  d.max.beginHour = 18;  // MID and MAX both hold hours 18 and 19
  EXPECT_EQ(at(d, 8, 10), "MID");
  EXPECT_EQ(at(d, 18, 10), "MAX");
}

TEST(LookupZone, ZonesInsideOneHourAndOddWrapping) {
  // MID from 09:08 to 09:29, MIN from 09:29 to 18:22, MAX from 18:22 to 09:08.
  const DayTariffs d = day({18, 22, 9, 8, 75}, {9, 8, 9, 29, 60}, {9, 29, 18, 22, 20});
  EXPECT_EQ(at(d, 9, 29), "MID");  // the MID begin rule comes after the MIN begin rule
  EXPECT_EQ(at(d, 9, 7), "MAX");
  EXPECT_EQ(at(d, 9, 10), "MID");
  EXPECT_EQ(at(d, 12, 0), "MIN");
  EXPECT_EQ(at(d, 18, 21), "MIN");
  EXPECT_EQ(at(d, 18, 22), "MAX");

  // Both MAX and MIN wrap: only MAX is tested as running over midnight, MIN matches no hour.
  const DayTariffs both = day({22, 0, 2, 0, 75}, {2, 0, 20, 0, 60}, {20, 0, 1, 0, 20});
  EXPECT_EQ(at(both, 21, 0), "NULL");  // MIN would hold it if it wrapped
  EXPECT_EQ(at(both, 20, 0), "MIN");   // only through its begin minute rule

  // No zone wraps: MID is still tested as running over midnight.
  const DayTariffs zeros = day({0, 0, 0, 0, 75}, {0, 0, 0, 0, 60}, {0, 0, 0, 0, 20});
  for (int h = 1; h < 24; ++h) EXPECT_EQ(at(zeros, h, 30), "MID") << h;
  EXPECT_EQ(at(zeros, 0, 0), "MAX");
  EXPECT_EQ(at(zeros, 0, 59), "MAX");
}

// Any three boundaries in three different hours, any rotation: every minute falls into the zone
// whose [begin, end) holds it.
TEST(LookupZone, RandomTilingsGiveTheIntervalOfEveryMinute) {
  std::mt19937 rng(4);
  std::uniform_int_distribution<int> hour(0, 23);
  std::uniform_int_distribution<int> minute(0, 59);
  std::uniform_int_distribution<int> rotation(0, 2);
  for (int round = 0; round < 2000; ++round) {
    int h[3];
    do {
      for (int& x : h) x = hour(rng);
    } while (h[0] == h[1] || h[1] == h[2] || h[0] == h[2]);
    std::sort(h, h + 3);
    int b[3];
    for (int i = 0; i < 3; ++i) b[i] = h[i] * 60 + minute(rng);
    // Zone k runs from boundary k to boundary k+1 (the last one over midnight); which of MAX,
    // MID and MIN gets which interval is rotated.
    const int r = rotation(rng);
    TariffZone z[3];
    for (int k = 0; k < 3; ++k) {
      const int from = b[k];
      const int to = b[(k + 1) % 3];
      z[(k + r) % 3] = {from / 60, from % 60, to / 60, to % 60, k};
    }
    const DayTariffs d{z[0], z[1], z[2]};
    const Zone names[3] = {Zone::Max, Zone::Mid, Zone::Min};
    for (int t = 0; t < 24 * 60; ++t) {
      int k = 2;  // the interval over midnight
      if (t >= b[0] && t < b[1]) k = 0;
      if (t >= b[1] && t < b[2]) k = 1;
      ASSERT_EQ(lookupZone(d, t / 60, t % 60), names[(k + r) % 3])
          << "round " << round << " minute " << t;
    }
  }
}

TEST(ZonePrice, PricesZonesAndWarnsOncePerRunWithoutTariff) {
  testing::RecordingMessageBoxes boxes;
  TariffWarning warning(boxes);
  const DayTariffs d = defaultDayTariffs();
  EXPECT_EQ(zonePrice(Zone::Max, d, warning), 75);
  EXPECT_EQ(zonePrice(Zone::Mid, d, warning), 60);
  EXPECT_EQ(zonePrice(Zone::Min, d, warning), 20);
  EXPECT_TRUE(boxes.shown.empty());

  EXPECT_EQ(zonePrice(Zone::None, d, warning), 0);
  EXPECT_EQ(zonePrice(Zone::None, d, warning), 0);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, "Ошибка определения тарифа.");
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
  EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(boxes.shown[0].text.rfind("Внимание! Тариф НЕ был корректно определён.\n", 0), 0u);
  EXPECT_NE(boxes.shown[0].text.find("\"Протестировать тариф\""), std::string::npos);
}

// Ticks keep running inside the open box; the latch is already set when they ask.
class ReenteringBoxes final : public MessageBoxes {
 public:
  MessageAnswer show(const MessageBoxRequest&) override {
    ++shown;
    if (warning != nullptr && shown == 1) warning->warnOnce();
    return MessageAnswer::Ok;
  }
  TariffWarning* warning = nullptr;
  int shown = 0;
};

TEST(ZonePrice, NoSecondBoxFromTicksInsideTheFirst) {
  ReenteringBoxes boxes;
  TariffWarning warning(boxes);
  boxes.warning = &warning;
  warning.warnOnce();
  EXPECT_EQ(boxes.shown, 1);
  EXPECT_TRUE(warning.shown());
}

}  // namespace
}  // namespace pelmora
