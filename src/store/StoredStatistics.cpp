#include "store/StoredStatistics.h"

#include <array>
#include <cmath>

#include "accounting/AmountText.h"
#include "accounting/Money.h"
#include "store/SettingsStore.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "store/ProgramOptions.h"

namespace pelmora {

namespace {

void addToInteger(StoreKey& key, IntegerOption option, std::int64_t amount) {
  write(key, option, addSaturating(read(key, option), amount));
}

constexpr const char* kAmountExpected =
    "Ожидалась сумма: число в тексте (REG_SZ), не больше 3.4E38 по модулю.";

// A stored amount the single-precision arithmetic can hold. Anything else is a store error that
// names the value: it is never summed into "INF".
long double readAmount(StoreKey& program, TextOption option) {
  const char* name = option.name;
  const std::string text = read(program, option);
  long double value = 0;
  try {
    value = parseStoredAmount(text);
  } catch (const AmountError&) {
    throw StoreError(kProgramKey, name, "Записано \"" + text + "\". " + kAmountExpected);
  }
  if (!std::isfinite(static_cast<float>(value))) {
    throw StoreError(kProgramKey, name, "Записано \"" + text + "\". " + kAmountExpected);
  }
  return value;
}

// The text of a computed amount; a sum that left the range is refused, not written.
std::string amountText(float value, const char* name, char separator) {
  if (!std::isfinite(value)) {
    throw StoreError(kProgramKey, name, "Сумма вышла за пределы. " + std::string(kAmountExpected));
  }
  return formatAmount(value, separator);
}

std::string twoDigits(int n) {
  const std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

void addToPeriods(StoreKey& program, std::int32_t seconds, float cost, const std::string& costText,
                  char separator) {
  for (IntegerOption sum :
       {options::kSecondsD, options::kSecondsW, options::kSecondsM, options::kSecondsT}) {
    addToInteger(program, sum, seconds);
  }
  constexpr std::array<TextOption, 4> sums = {options::kCentsD, options::kCentsW, options::kCentsM,
                                              options::kCentsT};
  std::array<std::string, 4> texts;
  for (std::size_t i = 0; i < sums.size(); ++i) {
    const auto sum =
        static_cast<float>(readAmount(program, sums[i]) + static_cast<long double>(cost));
    texts[i] = amountText(sum, sums[i].name, separator);
  }
  write(program, options::kCents, costText);
  for (std::size_t i = 0; i < sums.size(); ++i) write(program, sums[i], texts[i]);
}

std::string drawFromAccount(StoreKey& program, float cost, char separator) {
  const auto balance = static_cast<float>(readAmount(program, options::kAccount));
  const auto drawn = static_cast<float>(static_cast<long double>(balance) -
                                        kMinorToMajor * static_cast<long double>(cost));
  std::string text = amountText(drawn, options::kAccount.name, separator);
  write(program, options::kAccount, text);
  return text;
}

void countConnection(StoreKey& program) {
  for (IntegerOption count :
       {options::kNumberD, options::kNumberW, options::kNumberM, options::kNumberT}) {
    addToInteger(program, count, 1);
  }
}

void rollOverPeriods(StoreKey& program, const LocalTime& now) {
  if (now.day >= 1 && now.day <= 5) {
    if (read(program, options::kUpdatedM) == 0) {
      // The month's reset clears the week as well.
      write(program, options::kNumberM, 0);
      write(program, options::kNumberW, 0);
      write(program, options::kCentsM, "0");
      write(program, options::kCentsW, "0");
      write(program, options::kSecondsM, 0);
      write(program, options::kSecondsW, 0);
      write(program, options::kUpdatedM, 1);
    }
  } else {
    write(program, options::kUpdatedM, 0);
  }

  if (now.weekday >= 1 && now.weekday <= 5) {
    if (read(program, options::kUpdatedW) == 0) {
      write(program, options::kNumberW, 0);
      write(program, options::kCentsW, "0");
      write(program, options::kSecondsW, 0);
      write(program, options::kUpdatedW, 1);
    }
  } else {
    write(program, options::kUpdatedW, 0);
  }

  // Texts are compared, so any change of Date's text counts as a new day.
  if (startDateText(now) != read(program, options::kDate)) {
    write(program, options::kNumberD, 0);
    write(program, options::kCentsD, "0");
    write(program, options::kSecondsD, 0);
  }
}

std::string startDateText(const LocalTime& now) {
  return twoDigits(now.day) + "." + twoDigits(now.month) + "." + twoDigits(now.year % 100);
}

void recordStartDate(StoreKey& program, const LocalTime& now) {
  write(program, options::kDate, startDateText(now));
  write(program, options::kCents, "0");
  write(program, options::kSeconds, 0);
}

}  // namespace pelmora
