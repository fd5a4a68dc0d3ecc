#include "connection/BudgetGuard.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(BudgetGuardTest, EachThresholdIsNoticedOnceWhenTheConnectionCrossesIt) {
  BudgetGuard guard;
  // 90 ц. spent of a limit of 100 ц. this month, 0,50 $ on the account, 60 ц. an hour: the
  // account is spent after 50 ц., that is 50 minutes (3000 s), and not a second before.
  guard.start(BudgetFigures{90, 100, 0.5L, "ц.", "$", ','});
  EXPECT_TRUE(guard.check(0.583333F).empty());  // 35 s: 0,49417 $ left
  auto notices = guard.check(10.25F);           // 10 min 15 s
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].threshold, BudgetThreshold::MonthlyLimit);
  EXPECT_EQ(notices[0].text, "Затраты за месяц: 100,25 ц., лимит: 100 ц.");
  EXPECT_TRUE(guard.check(30).empty());          // 30 min: 0,20 $ left
  EXPECT_TRUE(guard.check(49.983334F).empty());  // 2999 s: 0,0002 $ left
  notices = guard.check(50);                     // 3000 s
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].threshold, BudgetThreshold::Balance);
  EXPECT_EQ(notices[0].title, "Деньги на счёте закончились");
  EXPECT_EQ(notices[0].text, "Состояние счёта с текущим соединением: 0 $");
  EXPECT_TRUE(guard.check(80).empty());

  // The next connection that crosses a threshold is told again.
  guard.start(BudgetFigures{0, 100, 0.01L, "ц.", "$", ','});
  EXPECT_TRUE(guard.check(0.5F).empty());
  notices = guard.check(1.25F);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].text, "Состояние счёта с текущим соединением: -0,0025 $");

  // Spending that reaches the limit exactly has reached it.
  guard.start(BudgetFigures{90, 100, 1e9L, "ц.", "$", ','});
  EXPECT_TRUE(guard.check(9.5F).empty());
  notices = guard.check(10);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].threshold, BudgetThreshold::MonthlyLimit);

  // What was already passed at the connect is not told again: a fresh install's balance of 0,
  // an account in debt, a month's spending at or over its limit.
  for (const BudgetFigures& passed :
       {BudgetFigures{0, 0, 0, "ц.", "$", ','}, BudgetFigures{0, 0, -3.25L, "ц.", "$", ','},
        BudgetFigures{100, 100, 1e9L, "ц.", "$", ','},
        BudgetFigures{250, 100, -0.5L, "ц.", "$", ','}}) {
    guard.start(passed);
    EXPECT_TRUE(guard.check(0).empty());
    EXPECT_TRUE(guard.check(0.5F).empty());
    EXPECT_TRUE(guard.check(500).empty());
  }

  // No limit: the month's spending is never compared; after the end nothing is told.
  guard.start(BudgetFigures{1e6L, 0, 1e9L, "k.", "R", '.'});
  EXPECT_TRUE(guard.check(1e6F).empty());
  guard.stop();
  EXPECT_TRUE(guard.check(2e9F).empty());
}

}  // namespace
}  // namespace pelmora
