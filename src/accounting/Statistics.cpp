#include "accounting/Statistics.h"

#include <array>

#include "accounting/AmountText.h"
#include "accounting/Money.h"
#include "store/SettingsStore.h"

namespace pelmora {

namespace {

void addToInteger(StoreKey& key, const char* name, std::int64_t amount) {
  key.WriteInteger(name, addSaturating(key.ReadInteger(name), amount));
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
  for (std::size_t i = 0; i < centNames.size(); ++i) texts[i] = program.ReadString(centNames[i]);
  for (std::string& text : texts) {
    const auto sum = static_cast<float>(parseStoredAmount(text) + static_cast<long double>(cost));
    text = formatAmount(sum, separator);
  }
  program.WriteString("Cents", costText);
  for (std::size_t i = 0; i < centNames.size(); ++i) program.WriteString(centNames[i], texts[i]);
}

std::string drawFromAccount(StoreKey& program, float cost, char separator) {
  const auto balance = static_cast<float>(parseStoredAmount(program.ReadString("Account")));
  const auto drawn = static_cast<float>(static_cast<long double>(balance) -
                                        kMinorToMajor * static_cast<long double>(cost));
  std::string text = formatAmount(drawn, separator);
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
