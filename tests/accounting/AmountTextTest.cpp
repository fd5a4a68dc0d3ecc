#include "accounting/AmountText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "accounting/Money.h"
#include "support/AccountingStore.h"

namespace pelmora {
namespace {

using testing::withSeparator;

// The C library's "%.15Lg" in the program's spelling: capital E, no '+', no leading zeros.
std::string cLibraryGeneral(long double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15Lg", v);
  std::string s = buf;
  const auto e = s.find('e');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  const char sign = s[e + 1];
  std::string digits = s.substr(e + 2);
  digits.erase(0, digits.find_first_not_of('0'));
  return mantissa + "E" + (sign == '-' ? "-" : "") + digits;
}

TEST(AmountText, WritesTheProgramsFiguresWithEitherSeparator) {
  struct Case {
    long double value;
    const char* text;
  };
  const Case cases[] = {
      {0.35f, "0.349999994039536"},
      {61 * 60 / 3600.0f, "1.01666665077209"},
      {1.525f, "1.52499997615814"},
      {75.0f, "75"},
      {23975.72265625f, "23975.72265625"},
      {11.5f, "11.5"},
      {123457.046875f, "123457.046875"},
      {0.000278L, "0.000278"},
      {0.0001L, "0.0001"},
      {0.0000555L, "5.55E-5"},
      {1e15L, "1E15"},
      {999999999999999.0L, "999999999999999"},
      {-2.5L, "-2.5"},
      {0.0L, "0"},
      {-0.0L, "0"},
  };
  for (char sep : {'.', ','}) {
    for (const Case& c : cases) {
      EXPECT_EQ(formatAmount(c.value, sep), withSeparator(c.text, sep)) << c.text;
    }
  }
}

TEST(AmountText, RoundsLikeTheCLibraryForOrdinaryValues) {
  ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
  std::mt19937_64 rng(20261208);
  std::uniform_int_distribution<int> exponent(-30, 60);
  std::uniform_int_distribution<std::uint32_t> bits;
  for (int i = 0; i < 20000; ++i) {
    // Random floats widened exactly (what amounts are) and random long doubles.
    const float f = std::ldexp(static_cast<float>(bits(rng) | 1u), exponent(rng) - 32);
    ASSERT_EQ(formatAmount(f, '.'), cLibraryGeneral(f)) << f;
    const long double ld =
        std::ldexp(static_cast<long double>(bits(rng)) * bits(rng) + 1, exponent(rng) - 64);
    ASSERT_EQ(formatAmount(ld, '.'), cLibraryGeneral(ld));
  }
  // Exact ties at the 16th digit go to the even neighbour, carries ripple into a new digit.
  for (long double v : {0.5L, 1.0000000000000005L, 99999999999999.95L, 9.999999999999995L,
                        0.00012345678901234567L, 123456789012345.5L, 123456789012346.5L}) {
    EXPECT_EQ(formatAmount(v, '.'), cLibraryGeneral(v)) << static_cast<double>(v);
  }
}

// The product of seconds and price is a float before the 1/3600: above 2^24 it loses its odd
// unit, which connections of more than about 62 hours show in the cost's last digits.
TEST(AmountText, CostsRoundTheProductOfSecondsAndPriceToFloat) {
  struct Case {
    std::int32_t seconds;
    std::int32_t price;
    const char* text;
  };
  const Case cases[] = {
      {105, 60, "1.75"},
      {61, 60, "1.01666665077209"},
      {223699, 75, "4660.3955078125"},  // 16777425 is held as 16777424
      {223699, 150, "9320.791015625"},
      {250001, 75, "5208.3544921875"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(formatAmount(connectionCost(c.seconds, c.price), '.'), c.text)
        << c.seconds << " s at " << c.price;
  }
}

TEST(AmountText, PlainFormKeepsTinyAmountsReadable) {
  EXPECT_EQ(formatAmountPlain(0.0000555L, ','), "0,0000555");
  EXPECT_EQ(formatAmountPlain(1e15L, '.'), "1000000000000000");
  EXPECT_EQ(formatAmountPlain(0.35f, '.'), "0.349999994039536");
}

TEST(AmountText, StoredAmountsReadWithEitherSeparator) {
  EXPECT_EQ(parseStoredAmount("1.5"), 1.5L);
  EXPECT_EQ(parseStoredAmount("1,5"), 1.5L);
  EXPECT_EQ(parseStoredAmount(" -2,25 "), -2.25L);
  EXPECT_EQ(parseStoredAmount("5,55E-5"), parseStoredAmount("0.0000555"));
  EXPECT_EQ(parseStoredAmount("0"), 0.0L);
  EXPECT_EQ(parseStoredAmount(",5"), 0.5L);
  EXPECT_EQ(parseStoredAmount("+7."), 7.0L);
  // Round trip of every 15-digit text the program writes.
  for (float f : {0.35f, 1.0166666f, 23975.72265625f, 99.085f, 123456.7f}) {
    for (char sep : {'.', ','}) {
      EXPECT_EQ(static_cast<float>(parseStoredAmount(formatAmount(f, sep))), f);
    }
  }
}

TEST(AmountText, TypedAmountsAcceptOnlyTheLocaleSeparator) {
  EXPECT_EQ(parseTypedAmount("12,5", ','), 12.5L);
  EXPECT_EQ(parseTypedAmount("12.5", '.'), 12.5L);
  EXPECT_THROW(parseTypedAmount("12.5", ','), AmountError);
  EXPECT_THROW(parseTypedAmount("12,5", '.'), AmountError);
}

TEST(AmountText, NonNumbersAreNamedInTheError) {
  for (const char* bad : {"", " ", "abc", "1.2.3", "1,2.3", "1e", "--1", "1 2", "0x10", "inf",
                          "nan", "1e99999", "12р."}) {
    try {
      parseStoredAmount(bad);
      ADD_FAILURE() << "accepted " << bad;
    } catch (const AmountError& e) {
      EXPECT_EQ(e.text(), bad);
      EXPECT_NE(std::string(e.what()).find(std::string("\"") + bad + "\""), std::string::npos);
      EXPECT_NE(std::string(e.what()).find("числом"), std::string::npos);
    }
  }
}

TEST(AmountText, TheProcessLocaleChangesNothing) {
  // POSIX names, then the Windows runtime's own.
  const char* locales[] = {"ru_RU.UTF-8",         "de_DE.UTF-8", "fr_FR.UTF-8",
                           "Russian_Russia.1251", "ru-RU",       "German_Germany.1252"};
  const char* found = nullptr;
  for (const char* l : locales) {
    if (std::setlocale(LC_ALL, l) != nullptr) {
      found = l;
      break;
    }
  }
  if (found == nullptr) GTEST_SKIP() << "no locale with a comma separator installed";
  ASSERT_EQ(*std::localeconv()->decimal_point, ',') << found;
  EXPECT_EQ(formatAmount(0.35f, '.'), "0.349999994039536");
  EXPECT_EQ(parseStoredAmount("1.5"), 1.5L);
  EXPECT_EQ(parseTypedAmount("1.5", '.'), 1.5L);
  std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace pelmora
