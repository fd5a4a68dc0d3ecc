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
  m_limitNoticed = false;
  m_balanceNoticed = false;
}

std::vector<BudgetNotice> BudgetGuard::check(long double runningCost) {
  std::vector<BudgetNotice> notices;
  if (!m_armed) return notices;
  const long double spent = m_figures.monthSpent + runningCost;
  if (!m_limitNoticed && m_figures.monthlyLimit > 0 && spent >= m_figures.monthlyLimit) {
    m_limitNoticed = true;
    notices.push_back({BudgetThreshold::MonthlyLimit, "Месячный лимит затрат достигнут",
                       "Затраты за месяц: " + minorMoney(spent) +
                           ", лимит: " + minorMoney(m_figures.monthlyLimit)});
  }
  // The balance is in the major unit and the cost in the minor one: the same float steps and
  // ×0.01 as the settlement, so the notice comes exactly when the drawn balance would be 0.
  const auto balance =
      static_cast<float>(static_cast<long double>(static_cast<float>(m_figures.balance)) -
                         kMinorToMajor * static_cast<long double>(static_cast<float>(runningCost)));
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
