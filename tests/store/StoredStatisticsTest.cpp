#include "store/StoredStatistics.h"

#include <gtest/gtest.h>

#include "store/StoreError.h"

#include <limits>
#include <string>

#include "support/AccountingStore.h"
#include "accounting/AmountText.h"
#include "accounting/Money.h"
#include "support/FakeClock.h"

namespace pelmora {
namespace {

using testing::integer;
using testing::text;
using testing::withSeparator;

class StatisticsTest : public ::testing::Test {
 protected:
  StatisticsTest() { testing::seedStore(store); }

  std::unique_ptr<StoreKey> program() { return store.OpenKey(kProgramKey, true); }

  void settle(std::int32_t seconds, float cost, char separator = '.') {
    addToPeriods(*program(), seconds, cost, formatAmount(cost, separator), separator);
  }

  // A program start on that date: the roll-over, then Date, Cents and Seconds.
  void startOn(int year, int month, int day) {
    clock.set(year, month, day, 8, 0, 0);
    auto key = program();
    rollOverPeriods(*key, clock.now());
    recordStartDate(*key, clock.now());
  }
  // One connection of 60 s costing 1 after the start.
  void connection() {
    settle(60, 1.0f);
    countConnection(*program());
  }
  void expectPeriod(char period, int number, int seconds, const char* cents) {
    const std::string p(1, period);
    EXPECT_EQ(integer(store, ("Number" + p).c_str()), number) << period;
    EXPECT_EQ(integer(store, ("Seconds" + p).c_str()), seconds) << period;
    EXPECT_EQ(text(store, ("Cents" + p).c_str()), cents) << period;
  }

  testing::MemorySettingsStore store;
  testing::FakeClock clock;
};

TEST_F(StatisticsTest, PeriodSumsAreRoundedToFloatBeforeTheyAreWritten) {
  for (char sep : {'.', ','}) {
    store.set(kProgramKey, "CentsD", std::string("10"));
    store.set(kProgramKey, "CentsT", withSeparator("123456.7", sep));
    settle(21, 1.5f, sep);
    EXPECT_EQ(text(store, "CentsD"), withSeparator("11.5", sep));
    EXPECT_EQ(text(store, "Cents"), withSeparator("1.5", sep));

    store.set(kProgramKey, "CentsT", withSeparator("123456.7", sep));
    settle(21, connectionCost(21, 60), sep);
    EXPECT_EQ(text(store, "CentsT"), withSeparator("123457.046875", sep));
    EXPECT_EQ(text(store, "Cents"), withSeparator("0.349999994039536", sep));
  }
  EXPECT_EQ(integer(store, "SecondsW"), 84);
}

TEST_F(StatisticsTest, AmountsWrittenUnderTheOtherSeparatorStillAdd) {
  store.set(kProgramKey, "CentsM", std::string("2,25"));
  store.set(kProgramKey, "Account", std::string("100,5"));
  settle(1, 0.25f, '.');
  EXPECT_EQ(text(store, "CentsM"), "2.5");
  EXPECT_EQ(drawFromAccount(*program(), 50.0f, '.'), "100");
}

TEST_F(StatisticsTest, TheAccountPaysInTheMajorUnit) {
  for (char sep : {'.', ','}) {
    store.set(kProgramKey, "Account", std::string("100"));
    EXPECT_EQ(drawFromAccount(*program(), 91.5f, sep), withSeparator("99.0849990844727", sep));
    EXPECT_EQ(text(store, "Account"), withSeparator("99.0849990844727", sep));

    store.set(kProgramKey, "Account", std::string("100"));
    const float cost = connectionCost(61, 60);
    ASSERT_EQ(formatAmount(cost, sep), withSeparator("1.01666665077209", sep));
    EXPECT_EQ(drawFromAccount(*program(), cost, sep), withSeparator("99.9898300170898", sep));
  }
  store.set(kProgramKey, "Account", std::string("0.5"));
  EXPECT_EQ(drawFromAccount(*program(), 75.0f, '.'), "-0.25");

  store.set(kProgramKey, "Account", std::string("сто"));
  EXPECT_THROW(drawFromAccount(*program(), 1.0f, '.'), StoreError);
}

TEST_F(StatisticsTest, SumsAndCountsSaturateInsteadOfWrapping) {
  constexpr std::int32_t top = std::numeric_limits<std::int32_t>::max();
  store.set(kProgramKey, "SecondsT", top - 10);
  store.set(kProgramKey, "NumberT", top);
  settle(100, 0.0f);
  countConnection(*program());
  EXPECT_EQ(integer(store, "SecondsT"), top);
  EXPECT_EQ(integer(store, "SecondsD"), 100);
  EXPECT_EQ(integer(store, "NumberT"), top);
  EXPECT_EQ(integer(store, "NumberD"), 1);

  EXPECT_EQ(addSaturating(std::numeric_limits<std::int32_t>::min() + 1, -5),
            std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(addSaturating(0, std::numeric_limits<std::int64_t>::max()), top);
}

TEST_F(StatisticsTest, MonthResetsOnDaysOneToFiveOncePerLatch) {
  startOn(2026, 11, 28);  // a Saturday
  EXPECT_EQ(integer(store, "UpdatedM"), 0);
  connection();
  startOn(2026, 12, 3);
  expectPeriod('M', 0, 0, "0");
  expectPeriod('W', 0, 0, "0");
  EXPECT_EQ(integer(store, "UpdatedM"), 1);
  expectPeriod('T', 1, 60, "1");

  connection();
  startOn(2026, 12, 4);
  expectPeriod('M', 1, 60, "1");
  startOn(2026, 12, 6);
  EXPECT_EQ(integer(store, "UpdatedM"), 0);
  expectPeriod('M', 1, 60, "1");
  // Day 5 is the last day of the reset.
  startOn(2027, 1, 5);
  expectPeriod('M', 0, 0, "0");
  EXPECT_EQ(integer(store, "UpdatedM"), 1);
}

TEST_F(StatisticsTest, WeekResetsOnlyAfterAWeekendStart) {
  startOn(2026, 9, 6);  // Sunday
  EXPECT_EQ(integer(store, "UpdatedW"), 0);
  connection();
  startOn(2026, 9, 7);  // Monday
  expectPeriod('W', 0, 0, "0");
  EXPECT_EQ(integer(store, "UpdatedW"), 1);
  expectPeriod('M', 1, 60, "1");

  // Only weekdays, three weeks long: the week never starts afresh.
  for (int week = 0; week < 3; ++week) {
    for (int d = 0; d < 5; ++d) {
      startOn(2026, 9, 7 + 7 * week + d);
      connection();
    }
  }
  expectPeriod('W', 15, 900, "15");
}

TEST_F(StatisticsTest, DayResetsWhenTheDateTextChanges) {
  startOn(2026, 12, 9);
  connection();
  startOn(2026, 12, 9);
  expectPeriod('D', 1, 60, "1");
  EXPECT_EQ(text(store, "Date"), "09.12.26");
  EXPECT_EQ(text(store, "Cents"), "0");
  EXPECT_EQ(integer(store, "Seconds"), 0);

  startOn(2026, 12, 10);
  expectPeriod('D', 0, 0, "0");
  expectPeriod('T', 1, 60, "1");

  // Any other text, a different format included, is a new day.
  connection();
  store.set(kProgramKey, "Date", std::string("10/12/26"));
  startOn(2026, 12, 10);
  expectPeriod('D', 0, 0, "0");
}

}  // namespace
}  // namespace pelmora
