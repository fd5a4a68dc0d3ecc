// The amount texts: the stored-amount and typed-amount readers never crash and give a number or
// AmountError; what the writer prints is read back; a float survives the round trip exactly,
// since 15 significant digits are far more than the 9 a float needs; the writer puts in no
// separator but the one it is handed.

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "accounting/AmountText.h"

namespace {

using pelmora::AmountError;
using pelmora::formatAmount;
using pelmora::formatAmountPlain;
using pelmora::parseStoredAmount;
using pelmora::parseTypedAmount;

[[noreturn]] void fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
  std::abort();
}

// Digits, a minus sign, the exponent letter and the given separator; "INF", "-INF" and "NAN"
// only for what is no finite number.
void checkCharacters(const std::string& text, long double value, char separator) {
  if (!std::isfinite(value)) {
    if (text != "INF" && text != "-INF" && text != "NAN") fail("not finite", text);
    return;
  }
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || c == '-' || c == 'E' || c == separator)) {
      fail("a character the writer must not emit", text + " (separator " + separator + ")");
    }
  }
}

// 15 significant digits rounded to nearest, read back into a long double: within half a unit in
// the 15th digit of the value, and the reader's own rounding on top of that (negligible but for
// subnormal long doubles, where it can add as much again).
void checkReadBack(long double value, char separator) {
  for (const std::string& text :
       {formatAmount(value, separator), formatAmountPlain(value, separator)}) {
    checkCharacters(text, value, separator);
    if (!std::isfinite(value)) continue;
    long double back = 0;
    try {
      back = parseStoredAmount(text);
    } catch (const AmountError&) {
      fail("the reader refuses what the writer wrote", text);
    }
    const long double bound = std::fabs(value) < LDBL_MIN ? 1.0000001e-14L : 5.0000001e-15L;
    if (std::fabs(back - value) > std::fabs(value) * bound) {
      fail("read back too far from the value", text);
    }
  }
}

// A float comes back bit for bit (but for the sign of zero, which is written "0").
void checkFloatRoundTrip(float f) {
  if (!std::isfinite(f)) return;
  for (char separator : {'.', ','}) {
    for (const std::string& text : {formatAmount(f, separator), formatAmountPlain(f, separator)}) {
      const auto back = static_cast<float>(parseStoredAmount(text));
      if (back != f) fail("a float does not survive the round trip", text);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  // The input as a text someone stored or typed.
  long double stored = 0;
  bool storedRead = false;
  try {
    stored = parseStoredAmount(text);
    storedRead = true;
    if (std::isnan(stored)) fail("the reader gave NaN", std::string(text));
  } catch (const AmountError&) {
  }
  for (char separator : {'.', ','}) {
    try {
      const long double typed = parseTypedAmount(text, separator);
      // One separator is a narrower rule than either: a typed amount is a stored amount too.
      if (!storedRead || !(typed == stored)) fail("typed but not stored", std::string(text));
    } catch (const AmountError&) {
    }
  }
  if (storedRead) {
    checkReadBack(stored, '.');
    checkReadBack(stored, ',');
    checkFloatRoundTrip(static_cast<float>(stored));
  }

  // The input's first bytes as the bits of a float and of a double.
  if (size >= sizeof(float)) {
    float f = 0;
    std::memcpy(&f, data, sizeof f);
    checkFloatRoundTrip(f);
  }
  if (size >= sizeof(double)) {
    double d = 0;
    std::memcpy(&d, data, sizeof d);
    checkReadBack(d, size % 2 == 0 ? '.' : ',');
  }
  return 0;
}
