#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace pelmora {

// A text that should have been an amount of money but is not a number. The message is the
// Russian text the user sees and names the offending text.
class AmountError : public std::runtime_error {
 public:
  explicit AmountError(std::string text);

  const std::string& text() const { return m_text; }

 private:
  std::string m_text;
};

// Writes an amount the way the program stores and shows it: at most 15 significant digits of
// the exact value, trailing zeros dropped, plain notation from 0.0001 up to below 10^15 and
// "5.55E-5" / "1.5E15" outside it. The separator is put in place of the decimal point; the
// process locale plays no part. A float is widened exactly, so its binary error shows
// (1.525f is written 1.52499997615814).
std::string formatAmount(long double value, char separator);

// The same digits, but always in plain notation (0.0000555555569007993): for showing amounts
// so small that the exponent form would be cut away on a narrow panel.
std::string formatAmountPlain(long double value, char separator);

// Reads a stored amount. Either ',' or '.' is taken as the decimal separator, so amounts
// written before the user's locale changed still read. AmountError when it is no number.
long double parseStoredAmount(std::string_view text);

// Reads an amount the user typed: only the given separator is accepted. AmountError when it is
// no number.
long double parseTypedAmount(std::string_view text, char separator);

// A stored amount of minor units written in the major unit: read like parseStoredAmount,
// multiplied by 0.01 in long double and written like formatAmount. AmountError when it is no
// number.
std::string majorUnitText(std::string_view minorText, char separator);

}  // namespace pelmora
