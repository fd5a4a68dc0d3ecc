#include "app/BudgetGuard.h"

#include <cmath>
#include <exception>

#include "accounting/AmountText.h"
#include "store/ProgramOptions.h"
#include "store/SettingsStore.h"

namespace pelmora {

void BudgetGuard::start(StoreKey& program, char separator) {
  m_armed = false;
  try {
    start(BudgetFigures{parseStoredAmount(read(program, options::kCentsM)),
                        read(program, options::kMaxCents),
                        parseStoredAmount(read(program, options::kAccount)),
                        read(program, options::kCurrencySub), separator});
  } catch (const std::exception&) {
    // A damaged figure is the settlement's to report; no guess is made here.
  }
}

void BudgetGuard::start(const BudgetFigures& figures) {
  m_figures = figures;
  m_armed = true;
  m_limitNoticed = false;
  m_balanceNoticed = false;
}

std::vector<BudgetNotice> BudgetGuard::check(long double runningCost) {
  std::vector<BudgetNotice> notices;
  if (!m_armed) return notices;
  const long double spent = m_figures.monthSpent + runningCost;
  if (!m_limitNoticed && m_figures.monthlyLimit > 0 && spent >= m_figures.monthlyLimit) {
    m_limitNoticed = true;
    notices.push_back(
        {BudgetThreshold::MonthlyLimit, "Месячный лимит затрат достигнут",
         "Затраты за месяц: " + money(spent) + ", лимит: " + money(m_figures.monthlyLimit)});
  }
  const long double balance = m_figures.balance - runningCost;
  if (!m_balanceNoticed && balance <= 0) {
    m_balanceNoticed = true;
    notices.push_back({BudgetThreshold::Balance, "Деньги на счёте закончились",
                       "Состояние счёта с текущим соединением: " + money(balance)});
  }
  return notices;
}

std::string BudgetGuard::money(long double amount) const {
  // Hundredths of the minor unit, as the status window shows them.
  const long double rounded = std::round(amount * 100) / 100;
  std::string text = formatAmountPlain(rounded, m_figures.separator);
  if (!m_figures.unitSign.empty()) text += " " + m_figures.unitSign;
  return text;
}

}  // namespace pelmora
