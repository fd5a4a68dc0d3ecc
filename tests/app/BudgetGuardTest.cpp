#include "app/BudgetGuard.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(BudgetGuardTest, EachThresholdIsNoticedOncePerConnection) {
  BudgetGuard guard;
  // 90 spent of a limit of 100, 5 on the account.
  guard.start(BudgetFigures{90, 100, 5, "ц.", ','});
  EXPECT_TRUE(guard.check(4.99L).empty());
  auto notices = guard.check(5);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].threshold, BudgetThreshold::Balance);
  EXPECT_EQ(notices[0].text, "Состояние счёта с текущим соединением: 0 ц.");
  notices = guard.check(10.25L);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].threshold, BudgetThreshold::MonthlyLimit);
  EXPECT_EQ(notices[0].text, "Затраты за месяц: 100,25 ц., лимит: 100 ц.");
  EXPECT_TRUE(guard.check(50).empty());

  // The next connection is told again; a balance already spent is told at its first tick.
  guard.start(BudgetFigures{0, 100, -3, "ц.", ','});
  notices = guard.check(0);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].threshold, BudgetThreshold::Balance);

  // No limit: the month's spending is never compared; after the end nothing is told.
  guard.start(BudgetFigures{1e6L, 0, 1e9L, "k.", '.'});
  EXPECT_TRUE(guard.check(1e6L).empty());
  guard.stop();
  EXPECT_TRUE(guard.check(2e9L).empty());
}

}  // namespace
}  // namespace pelmora
