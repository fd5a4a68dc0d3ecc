#include "settings/CurrencyTable.h"

#include "store/ProgramOptions.h"
#include "store/SettingsStore.h"
#include "store/StoreKeys.h"

namespace pelmora {

namespace {

// The fixed columns of the currency table. The rouble signs are the Latin letters p and k.
struct FixedCurrency {
  const char* perHour;
  const char* perMonth;
  const char* account;
  const char* majorCost;
  const char* minorCost;
  const char* displayMinor;
  const char* displayMajor;
  const char* sign;
  const char* subSign;
};

constexpr FixedCurrency kDollars{"ЦЕНТОВ / ЧАС",
                                 "ЦЕНТОВ / МЕСЯЦ",
                                 " СОСТОЯНИЕ СЧЕТА (доллары)",
                                 " ФИНАНСОВЬIЕ ЗАТРАТЬI (доллары)",
                                 " ФИНАНСОВЬIЕ ЗАТРАТЬI (центы)",
                                 "ЦЕНТЬI (ц.)",
                                 "ДОЛЛАРЬI ($)",
                                 "$",
                                 "ц."};

constexpr FixedCurrency kRoubles{"КОПЕЕК / ЧАС",
                                 "КОПЕЕК / МЕСЯЦ",
                                 " СОСТОЯНИЕ СЧЕТА (рубли)",
                                 " ФИНАНСОВЬIЕ ЗАТРАТЬI (рубли)",
                                 " ФИНАНСОВЬIЕ ЗАТРАТЬI (копейки)",
                                 "КОПЕЙКИ (k.)",
                                 "РУБЛИ (p.)",
                                 "p.",
                                 "k."};

const FixedCurrency* fixedCurrency(int currency) {
  switch (currency) {
    case 0:
      return &kDollars;
    case 1:
      return &kRoubles;
    default:
      return nullptr;
  }
}

// In UTF-8 the Cyrillic capitals U+0400-U+042F are D0 80-AF; their small letters U+0430-U+045F
// are D0 B0-BF and D1 80-9F. Continuation bytes are never ASCII, so walking byte by byte and
// looking at the lead bytes D0 and D1 leaves every other character whole.
std::string convertCase(const std::string& text, bool toLower) {
  std::string out = text;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto byte = static_cast<unsigned char>(out[i]);
    if (byte < 0x80) {
      if (toLower && byte >= 'A' && byte <= 'Z') out[i] = static_cast<char>(byte + 0x20);
      if (!toLower && byte >= 'a' && byte <= 'z') out[i] = static_cast<char>(byte - 0x20);
      continue;
    }
    if ((byte != 0xD0 && byte != 0xD1) || i + 1 >= out.size()) continue;
    const auto next = static_cast<unsigned char>(out[i + 1]);
    unsigned code = ((byte & 0x1Fu) << 6) | (next & 0x3Fu);
    if ((next & 0xC0u) != 0x80u) continue;
    if (toLower && code >= 0x400 && code <= 0x40F) {
      code += 0x50;
    } else if (toLower && code >= 0x410 && code <= 0x42F) {
      code += 0x20;
    } else if (!toLower && code >= 0x430 && code <= 0x44F) {
      code -= 0x20;
    } else if (!toLower && code >= 0x450 && code <= 0x45F) {
      code -= 0x50;
    } else {
      ++i;
      continue;
    }
    out[i] = static_cast<char>(0xC0u | (code >> 6));
    out[i + 1] = static_cast<char>(0x80u | (code & 0x3Fu));
    ++i;
  }
  return out;
}

}  // namespace

CustomCurrency readCustomCurrency(StoreKey& program) {
  return {read(program, options::kCurrencyCustom), read(program, options::kCurrencyCustomA),
          read(program, options::kCurrencyCustomB), read(program, options::kCurrencyCustomMain),
          read(program, options::kCurrencyCustomSub)};
}

void saveCustomCurrency(SettingsStore& store, const CustomCurrency& custom) {
  store.Atomically([&] {
    auto program = openKey(store, kProgramKey);
    write(*program, options::kCurrencyCustom, custom.name);
    write(*program, options::kCurrencyCustomA, custom.minorName);
    write(*program, options::kCurrencyCustomB, custom.minorGenitive);
    write(*program, options::kCurrencyCustomMain, custom.mainSign);
    write(*program, options::kCurrencyCustomSub, custom.subSign);
    program->CloseKey();
  });
}

CurrencyCaptions currencyCaptions(int currency, const CustomCurrency& custom) {
  if (const FixedCurrency* fixed = fixedCurrency(currency)) {
    return {fixed->perHour,   fixed->perMonth,     fixed->account,      fixed->majorCost,
            fixed->minorCost, fixed->displayMinor, fixed->displayMajor, false};
  }
  const std::string name = lowerText(custom.name);
  return {custom.minorGenitive + " / ЧАС",
          custom.minorGenitive + " / МЕСЯЦ",
          " СОСТОЯНИЕ СЧЕТА (" + name + ")",
          " ФИНАНСОВЬIЕ ЗАТРАТЬI (" + name + ")",
          " ФИНАНСОВЬIЕ ЗАТРАТЬI (" + lowerText(custom.minorName) + ")",
          custom.minorName + " (" + custom.subSign + ")",
          custom.name + " (" + custom.mainSign + ")",
          true};
}

std::string lowerText(const std::string& utf8) {
  return convertCase(utf8, true);
}

std::string upperText(const std::string& utf8) {
  return convertCase(utf8, false);
}

void writeCurrencySelection(StoreKey& program, int currencyFull, int currencyStatus) {
  write(program, options::kCurrencyFull, currencyFull);
  write(program, options::kCurrencyStatus, currencyStatus);
}

void writeCurrencySigns(StoreKey& program, int currencyFull) {
  if (const FixedCurrency* fixed = fixedCurrency(currencyFull)) {
    write(program, options::kCurrency, fixed->sign);
    write(program, options::kCurrencySub, fixed->subSign);
    return;
  }
  const std::string sign = read(program, options::kCurrencyCustomMain);
  const std::string subSign = read(program, options::kCurrencyCustomSub);
  write(program, options::kCurrency, sign);
  write(program, options::kCurrencySub, subSign);
}

}  // namespace pelmora
