#pragma once

#include <string>

namespace pelmora {

class SettingsStore;
class StoreKey;

// The user-defined currency as the store keeps it. Names are upper case as typed; the signs are
// at most two characters each.
struct CustomCurrency {
  std::string name;           // CurrencyCustom: the major unit
  std::string minorName;      // CurrencyCustomA: the minor unit, plural
  std::string minorGenitive;  // CurrencyCustomB: the minor unit, genitive plural
  std::string mainSign;       // CurrencyCustomMain
  std::string subSign;        // CurrencyCustomSub
};

// The five values of the user-defined currency from the open program key.
CustomCurrency readCustomCurrency(StoreKey& program);

// The editor's "OK": the five values written at once, whatever the dialog's O K or Cancel does
// later. Opens and closes the program key itself.
void saveCustomCurrency(SettingsStore& store, const CustomCurrency& custom);

// What the choice of a currency shows in the dialog.
struct CurrencyCaptions {
  std::string perHour;         // tCURRhour1, tCURRhour2, tCURRhour3
  std::string perMonth;        // tCURRmonth
  std::string account;         // tNewAccount and pAccount (with the leading blank)
  std::string majorCost;       // pDollars
  std::string minorCost;       // pCents
  std::string displayMinor;    // cbCurrencyDisplay, entry 0
  std::string displayMajor;    // cbCurrencyDisplay, entry 1
  bool changeEnabled = false;  // bChange
};

// The captions of a currency: 0 dollars, 1 roubles, any other value (no selection included) the
// user-defined currency, described by custom as stored.
CurrencyCaptions currencyCaptions(int currency, const CustomCurrency& custom);

// Lower and upper case of UTF-8 text without the process locale: Latin A-Z and the Cyrillic
// capitals U+0400-U+042F (А-Я, Ё and the other letters of the Cyrillic code page) with their
// small letters. Everything else is left as it is.
std::string lowerText(const std::string& utf8);
std::string upperText(const std::string& utf8);

// The commit's currency steps, into the open program key: CurrencyFull and CurrencyStatus; later
// Currency and CurrencySub by the currency ("$" and "ц.", "p." and "k.", or a copy of the stored
// CurrencyCustomMain and CurrencyCustomSub for any other value).
void writeCurrencySelection(StoreKey& program, int currencyFull, int currencyStatus);
void writeCurrencySigns(StoreKey& program, int currencyFull);

// The first two entries of the currency list; the third is the stored CurrencyCustom. The "I"
// after the soft sign is the Latin letter, as in every caption of the dialog that spells Ы so.
inline constexpr const char* kCurrencyNames[2] = {"ДОЛЛАРЬI", "РУБЛИ"};

// The fixed captions of the currency row and of the user-defined currency's editor.
namespace currency_texts {
inline constexpr const char* kCurrency = "ВАЛЮТА:";                      // tCurrency, tRub
inline constexpr const char* kChange = "ИЗМЕНИТЬ";                       // bChange
inline constexpr const char* kDisplay = "ОТОБРАЖАТЬ  В  ОКНЕ  СТАТУСА";  // tCurrencyDisplay
inline constexpr const char* kMinorUnit = "1/100 ВАЛЮТЬI:";              // tKop
inline constexpr const char* kGenitive = "Род. ПАДЕЖ:";                  // tKops
inline constexpr const char* kConfirm = "OK";                            // bCurOk, Latin letters
inline constexpr int kSignLength = 2;                                    // sRub, sKop
}  // namespace currency_texts

}  // namespace pelmora
