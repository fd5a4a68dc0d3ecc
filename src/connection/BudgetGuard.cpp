#include "connection/BudgetGuard.h"

#include <cmath>
#include <exception>

#include "accounting/AmountText.h"
#include "accounting/Money.h"
#include "store/ProgramOptions.h"
#include "store/SettingsStore.h"

namespace pelmora {

void BudgetGuard::start(StoreKey& program, char separator) {
  m_armed = false;
  try {
    start(BudgetFigures{
        parseStoredAmount(read(program, options::kCentsM)), read(program, options::kMaxCents),
        parseStoredAmount(read(program, options::kAccount)), read(program, options::kCurrencySub),
        read(program, options::kCurrency), separator});
  } catch (const std::exception&) {
    // A damaged figure is the settlement's to report; no guess is made here.
  }
}

void BudgetGuard::start(const BudgetFigures& figures) {
  m_figures = figures;
  m_armed = true;
  // A threshold already passed when the connection begins was told when it was crossed (or the
  // balance was never set, as on a fresh install): it is not told again at every connection.
  m_limitNoticed = limitReached(0);
  m_balanceNoticed = balanceLeft(0) <= 0;
}

bool BudgetGuard::limitReached(long double runningCost) const {
  return m_figures.monthlyLimit > 0 && m_figures.monthSpent + runningCost >= m_figures.monthlyLimit;
}

float BudgetGuard::balanceLeft(long double runningCost) const {
  // The balance is in the major unit and the cost in the minor one: the same float steps and
  // ×0.01 as the settlement, so the notice comes exactly when the drawn balance would be 0.
  return static_cast<float>(static_cast<long double>(static_cast<float>(m_figures.balance)) -
                            kMinorToMajor *
                                static_cast<long double>(static_cast<float>(runningCost)));
}

std::vector<BudgetNotice> BudgetGuard::check(long double runningCost) {
  std::vector<BudgetNotice> notices;
  if (!m_armed) return notices;
  const long double spent = m_figures.monthSpent + runningCost;
  if (!m_limitNoticed && limitReached(runningCost)) {
    m_limitNoticed = true;
    notices.push_back({BudgetThreshold::MonthlyLimit, "Месячный лимит затрат достигнут",
                       "Затраты за месяц: " + minorMoney(spent) +
                           ", лимит: " + minorMoney(m_figures.monthlyLimit)});
  }
  const float balance = balanceLeft(runningCost);
  if (!m_balanceNoticed && balance <= 0) {
    m_balanceNoticed = true;
    notices.push_back({BudgetThreshold::Balance, "Деньги на счёте закончились",
                       "Состояние счёта с текущим соединением: " + majorMoney(balance)});
  }
  return notices;
}

namespace {

// An amount cut to the given number of decimals (the float's binary tail would show), then its
// sign.
std::string moneyText(long double amount, long double scale, const std::string& sign,
                      char separator) {
  long double rounded = std::round(amount * scale) / scale;
  if (rounded == 0) rounded = 0;  // no "-0"
  std::string text = formatAmountPlain(rounded, separator);
  if (!sign.empty()) text += " " + sign;
  return text;
}

}  // namespace

std::string BudgetGuard::minorMoney(long double amount) const {
  // Hundredths of the minor unit, as the status window shows them.
  return moneyText(amount, 100, m_figures.minorSign, m_figures.separator);
}

std::string BudgetGuard::majorMoney(long double amount) const {
  // The same precision in the major unit: four decimals.
  return moneyText(amount, 10000, m_figures.majorSign, m_figures.separator);
}

}  // namespace pelmora
