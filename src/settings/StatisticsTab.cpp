#include "settings/StatisticsTab.h"

#include <cstddef>
#include <cstdint>

#include "accounting/AmountText.h"
#include "store/ProgramOptions.h"
#include "store/SettingsStore.h"
#include "store/StoreKeys.h"

namespace pelmora {

namespace {

constexpr std::size_t kCellLength = 8;

constexpr std::array<TextOption, 5> kCents{options::kCents, options::kCentsD, options::kCentsW,
                                           options::kCentsM, options::kCentsT};
constexpr std::array<IntegerOption, 5> kSeconds{options::kSeconds, options::kSecondsD,
                                                options::kSecondsW, options::kSecondsM,
                                                options::kSecondsT};
constexpr std::array<IntegerOption, 4> kNumbers{options::kNumberD, options::kNumberW,
                                                options::kNumberM, options::kNumberT};

// The first `count` characters of a UTF-8 text; a character is never split.
std::string firstCharacters(const std::string& text, std::size_t count) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) != 0x80 && characters++ == count) return text.substr(0, i);
  }
  return text;
}

// One part of a time with a leading "0" below 10. A negative part (a hand-edited store) keeps
// its sign behind that "0", as the time was always written.
std::string timePart(std::int32_t value) {
  std::string text = std::to_string(value);
  if (value < 10) text.insert(text.begin(), '0');
  return text;
}

std::string durationTimeText(std::int32_t seconds) {
  return timePart(seconds / 3600) + ":" + timePart(seconds % 3600 / 60) + ":" +
         timePart(seconds % 60);
}

// The balance as a single-precision value against the fixed marks.
Indicator accountIndicator(float balance) {
  if (balance > 1.5f) return Indicator::Green;
  if (balance > 1.0f) return Indicator::Yellow;
  return Indicator::Red;
}

// The monthly limit shared out over 31 days, times the days of the month so far; every step
// rounded to single precision. The comparison with budget - 1 is made in long double, so a
// budget beyond the float's integer range still leaves its one unit of margin.
Indicator spendingIndicator(float monthSpent, std::int32_t monthlyLimit, int dayOfMonth) {
  const auto perDay = static_cast<float>(static_cast<long double>(monthlyLimit) * (1.0L / 31.0L));
  const auto budget = static_cast<float>(static_cast<long double>(perDay) * dayOfMonth);
  const long double spent = monthSpent;
  if (spent <= static_cast<long double>(budget) - 1.0L) return Indicator::Green;
  if (spent <= budget) return Indicator::Yellow;
  return Indicator::Red;
}

float storedFloat(const std::string& text) {
  return static_cast<float>(parseStoredAmount(text));
}

}  // namespace

void refreshStatistics(SettingsStore& store, int dayOfMonth, char decimalSeparator,
                       StatisticsCells& cells) {
  auto program = openKey(store, kProgramKey);
  const std::string account = read(*program, options::kAccount);
  cells.account = firstCharacters(account, kCellLength);
  for (std::size_t i = 0; i < kNumbers.size(); ++i) {
    cells.number[i] = std::to_string(read(*program, kNumbers[i]));
  }
  std::array<std::string, 5> cents;
  for (std::size_t i = 0; i < kCents.size(); ++i) {
    cents[i] = read(*program, kCents[i]);
    cells.cents[i] = firstCharacters(cents[i], kCellLength);
  }
  for (std::size_t i = 0; i < kCents.size(); ++i) {
    cells.dollars[i] = firstCharacters(majorUnitText(cents[i], decimalSeparator), kCellLength);
  }
  std::array<std::int32_t, 5> seconds{};
  for (std::size_t i = 0; i < kSeconds.size(); ++i) {
    seconds[i] = read(*program, kSeconds[i]);
    cells.duration[i] = std::to_string(seconds[i]);
  }
  for (std::size_t i = 0; i < kSeconds.size(); ++i) {
    cells.durationTime[i] = durationTimeText(seconds[i]);
  }

  cells.accountIndicator = accountIndicator(storedFloat(account));
  cells.spendingIndicator = spendingIndicator(storedFloat(read(*program, options::kCentsM)),
                                              read(*program, options::kMaxCents), dayOfMonth);

  bool allZero = true;
  for (std::size_t i = 0; i < 5; ++i) {
    allZero = allZero && cells.cents[i] == "0" && cells.duration[i] == "0";
  }
  cells.clearEnabled = !allZero;
  program->CloseKey();
}

}  // namespace pelmora
