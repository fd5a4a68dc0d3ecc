#include "accounting/Statistics.h"

#include <array>
#include <cmath>

#include "accounting/AmountText.h"
#include "accounting/Money.h"
#include "store/SettingsStore.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"

namespace pelmora {

namespace {

void addToInteger(StoreKey& key, const char* name, std::int64_t amount) {
  key.WriteInteger(name, addSaturating(key.ReadInteger(name), amount));
}

constexpr const char* kAmountExpected =
    "Ожидалась сумма: число в тексте (REG_SZ), не больше 3.4E38 по модулю.";

// A stored amount the single-precision arithmetic can hold. Anything else is a store error that
// names the value: it is never summed into "INF".
long double readAmount(StoreKey& program, const char* name) {
  const std::string text = program.ReadString(name);
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
  for (const char* name : {"SecondsD", "SecondsW", "SecondsM", "SecondsT"}) {
    addToInteger(program, name, seconds);
  }
  constexpr std::array<const char*, 4> centNames = {"CentsD", "CentsW", "CentsM", "CentsT"};
  std::array<std::string, 4> texts;
  for (std::size_t i = 0; i < centNames.size(); ++i) {
    const auto sum =
        static_cast<float>(readAmount(program, centNames[i]) + static_cast<long double>(cost));
    texts[i] = amountText(sum, centNames[i], separator);
  }
  program.WriteString("Cents", costText);
  for (std::size_t i = 0; i < centNames.size(); ++i) program.WriteString(centNames[i], texts[i]);
}

std::string drawFromAccount(StoreKey& program, float cost, char separator) {
  const auto balance = static_cast<float>(readAmount(program, "Account"));
  const auto drawn = static_cast<float>(static_cast<long double>(balance) -
                                        kMinorToMajor * static_cast<long double>(cost));
  std::string text = amountText(drawn, "Account", separator);
  program.WriteString("Account", text);
  return text;
}

void countConnection(StoreKey& program) {
  for (const char* name : {"NumberD", "NumberW", "NumberM", "NumberT"}) {
    addToInteger(program, name, 1);
  }
}

void rollOverPeriods(StoreKey& program, const LocalTime& now) {
  if (now.day >= 1 && now.day <= 5) {
    if (program.ReadInteger("UpdatedM") == 0) {
      // The month's reset clears the week as well.
      program.WriteInteger("NumberM", 0);
      program.WriteInteger("NumberW", 0);
      program.WriteString("CentsM", "0");
      program.WriteString("CentsW", "0");
      program.WriteInteger("SecondsM", 0);
      program.WriteInteger("SecondsW", 0);
      program.WriteInteger("UpdatedM", 1);
    }
  } else {
    program.WriteInteger("UpdatedM", 0);
  }

  if (now.weekday >= 1 && now.weekday <= 5) {
    if (program.ReadInteger("UpdatedW") == 0) {
      program.WriteInteger("NumberW", 0);
      program.WriteString("CentsW", "0");
      program.WriteInteger("SecondsW", 0);
      program.WriteInteger("UpdatedW", 1);
    }
  } else {
    program.WriteInteger("UpdatedW", 0);
  }

  // Texts are compared, so any change of Date's text counts as a new day.
  if (startDateText(now) != program.ReadString("Date")) {
    program.WriteInteger("NumberD", 0);
    program.WriteString("CentsD", "0");
    program.WriteInteger("SecondsD", 0);
  }
}

std::string startDateText(const LocalTime& now) {
  return twoDigits(now.day) + "." + twoDigits(now.month) + "." + twoDigits(now.year % 100);
}

void recordStartDate(StoreKey& program, const LocalTime& now) {
  program.WriteString("Date", startDateText(now));
  program.WriteString("Cents", "0");
  program.WriteInteger("Seconds", 0);
}

}  // namespace pelmora
