#include "accounting/AmountText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>
#include <vector>

#include "accounting/Money.h"

namespace pelmora {

namespace {

// The exact decimal expansion below splits the value into a 64-bit integer mantissa. x86
// extended precision (Linux, mingw) and a long double that is just a double both fit.
static_assert(std::numeric_limits<long double>::digits <= 64,
              "the amount writer expects a long double mantissa of at most 64 bits");
static_assert(std::numeric_limits<long double>::radix == 2);

constexpr int kSignificantDigits = 15;

// A non-negative integer of any size, in base 10^9, least significant limb first. Only what the
// exact expansion needs: multiplying by a small factor and writing in decimal.
class BigDecimal {
 public:
  explicit BigDecimal(std::uint64_t v) {
    while (v != 0) {
      m_limbs.push_back(static_cast<std::uint32_t>(v % kBase));
      v /= kBase;
    }
  }

  void multiply(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : m_limbs) {
      const std::uint64_t p = static_cast<std::uint64_t>(limb) * factor + carry;
      limb = static_cast<std::uint32_t>(p % kBase);
      carry = p / kBase;
    }
    while (carry != 0) {
      m_limbs.push_back(static_cast<std::uint32_t>(carry % kBase));
      carry /= kBase;
    }
  }

  // Multiplies by base^exponent in steps that stay within 32 bits.
  void multiplyPower(std::uint32_t base, int exponent, int maxStep, std::uint32_t stepFactor) {
    while (exponent >= maxStep) {
      multiply(stepFactor);
      exponent -= maxStep;
    }
    while (exponent-- > 0) multiply(base);
  }

  std::string digits() const {
    if (m_limbs.empty()) return "0";
    std::string out = std::to_string(m_limbs.back());
    for (auto it = m_limbs.rbegin() + 1; it != m_limbs.rend(); ++it) {
      const std::string part = std::to_string(*it);
      out.append(9 - part.size(), '0');
      out += part;
    }
    return out;
  }

 private:
  static constexpr std::uint32_t kBase = 1000000000;
  std::vector<std::uint32_t> m_limbs;
};

// The first 15 significant digits of |value|, rounded to nearest with ties to even on the
// exact expansion (what the C library's "%.15Lg" does), and the decimal exponent of the first.
struct Rounded {
  std::string digits;  // exactly 15 digits, the first not 0 (unless the value is 0)
  int exponent = 0;    // value = d.dddd... x 10^exponent
};

Rounded roundSignificant(long double magnitude) {
  Rounded r;
  if (magnitude == 0) {
    r.digits.assign(kSignificantDigits, '0');
    return r;
  }
  int binaryExponent = 0;
  const long double fraction = std::frexp(magnitude, &binaryExponent);  // [0.5, 1)
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
  const int shift = binaryExponent - 64;  // magnitude = mantissa * 2^shift, exactly

  BigDecimal n(mantissa);
  int decimalShift = 0;  // magnitude = n * 10^-decimalShift
  if (shift >= 0) {
    n.multiplyPower(2, shift, 31, 1u << 31);
  } else {
    // m / 2^k = m * 5^k / 10^k
    n.multiplyPower(5, -shift, 13, 1220703125u);
    decimalShift = -shift;
  }
  std::string all = n.digits();
  r.exponent = static_cast<int>(all.size()) - 1 - decimalShift;

  if (all.size() <= static_cast<std::size_t>(kSignificantDigits)) {
    all.append(kSignificantDigits - all.size(), '0');
    r.digits = all;
    return r;
  }
  r.digits = all.substr(0, kSignificantDigits);
  const char next = all[kSignificantDigits];
  bool roundUp = next > '5';
  if (next == '5') {
    const bool moreAfter = all.find_first_not_of('0', kSignificantDigits + 1) != std::string::npos;
    roundUp = moreAfter || ((r.digits.back() - '0') % 2 == 1);
  }
  if (roundUp) {
    int i = kSignificantDigits - 1;
    while (i >= 0 && r.digits[static_cast<std::size_t>(i)] == '9') {
      r.digits[static_cast<std::size_t>(i--)] = '0';
    }
    if (i >= 0) {
      ++r.digits[static_cast<std::size_t>(i)];
    } else {
      r.digits.insert(r.digits.begin(), '1');
      r.digits.pop_back();
      ++r.exponent;
    }
  }
  return r;
}

std::string stripTrailingZeros(std::string s) {
  const auto last = s.find_last_not_of('0');
  s.erase(last == std::string::npos ? 0 : last + 1);
  return s;
}

std::string format(long double value, char separator, bool alwaysPlain) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";  // negative zero too

  const Rounded r = roundSignificant(std::fabs(value));
  std::string out = value < 0 ? "-" : "";
  const bool scientific = !alwaysPlain && (r.exponent < -4 || r.exponent >= kSignificantDigits);
  if (scientific) {
    const std::string rest = stripTrailingZeros(r.digits.substr(1));
    out += r.digits[0];
    if (!rest.empty()) out += separator + rest;
    out += 'E' + std::to_string(r.exponent);
    return out;
  }
  std::string integral;
  std::string fractional;
  if (r.exponent >= 0) {
    std::string digits = r.digits;
    const auto wholeDigits = static_cast<std::size_t>(r.exponent + 1);
    if (r.exponent >= kSignificantDigits) {
      digits.append(wholeDigits - static_cast<std::size_t>(kSignificantDigits), '0');
    }
    integral = digits.substr(0, wholeDigits);
    fractional = stripTrailingZeros(digits.substr(wholeDigits));
  } else {
    integral = "0";
    fractional =
        stripTrailingZeros(std::string(static_cast<std::size_t>(-r.exponent - 1), '0') + r.digits);
  }
  out += integral;
  if (!fractional.empty()) out += separator + fractional;
  return out;
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Checks the shape "[blanks][+|-]digits[sep digits][E[+|-]digits][blanks]" (at least one
// mantissa digit) and hands the number, with '.' as separator, to the locale-free reader.
long double parse(std::string_view text, bool (*isSeparator)(char, char), char separator) {
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;

  std::string normal;
  std::size_t i = b;
  if (i < e && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') normal += '-';
    ++i;
  }
  std::string whole;
  std::string fraction;
  while (i < e && isDigit(text[i])) whole += text[i++];
  if (i < e && isSeparator(text[i], separator)) {
    ++i;
    while (i < e && isDigit(text[i])) fraction += text[i++];
  }
  if (whole.empty() && fraction.empty()) throw AmountError(std::string(text));
  normal += whole.empty() ? "0" : whole;
  if (!fraction.empty()) normal += '.' + fraction;
  if (i < e && (text[i] == 'E' || text[i] == 'e')) {
    normal += 'e';
    ++i;
    if (i < e && (text[i] == '+' || text[i] == '-')) normal += text[i++];
    const std::size_t first = i;
    while (i < e && isDigit(text[i])) normal += text[i++];
    if (i == first) throw AmountError(std::string(text));
  }
  if (i != e) throw AmountError(std::string(text));

  long double value = 0;
  const auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value,
                                         std::chars_format::general);
  if (ec != std::errc() || end != normal.data() + normal.size()) {
    throw AmountError(std::string(text));
  }
  return value;
}

bool eitherSeparator(char c, char) {
  return c == ',' || c == '.';
}
bool onlySeparator(char c, char separator) {
  return c == separator;
}

}  // namespace

AmountError::AmountError(std::string text)
    : std::runtime_error("\"" + text + "\" не является правильным числом."),
      m_text(std::move(text)) {}

std::string formatAmount(long double value, char separator) {
  return format(value, separator, false);
}

std::string formatAmountPlain(long double value, char separator) {
  return format(value, separator, true);
}

long double parseStoredAmount(std::string_view text) {
  return parse(text, eitherSeparator, '.');
}

long double parseTypedAmount(std::string_view text, char separator) {
  return parse(text, onlySeparator, separator);
}

std::string majorUnitText(std::string_view minorText, char separator) {
  return formatAmount(parseStoredAmount(minorText) * kMinorToMajor, separator);
}

}  // namespace pelmora
