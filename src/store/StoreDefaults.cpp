#include "store/StoreDefaults.h"

namespace pelmora {

std::int32_t DefaultValue::integerOn(const ScreenSize& screen) const {
  switch (kind) {
    case DefaultKind::ScreenLeft:
      return screen.width - integer;
    case DefaultKind::ScreenTop:
      return screen.height - integer;
    default:
      return integer;
  }
}

namespace {

DefaultValue flag(const char* name, std::int32_t value) {
  return {name, DefaultKind::Integer, value, {}};
}
DefaultValue number(const char* name, std::int32_t value) {
  return {name, DefaultKind::Integer, value, {}};
}
DefaultValue text(const char* name, std::string value) {
  return {name, DefaultKind::Text, 0, std::move(value)};
}

std::vector<DefaultValue> makeProgramDefaults() {
  const PlatformDefaults& platform = platformDefaults();
  return {
      flag("HideOnDisconnect", 1),
      flag("ShowOnConnect", 1),
      flag("ShowOnStart", 0),
      flag("UpdatedM", 1),
      flag("UpdatedW", 1),
      number("MaxCents", 100),
      number("NumberD", 0),
      number("NumberM", 0),
      number("NumberW", 0),
      number("NumberT", 0),
      text("Cents", "0"),
      text("CentsD", "0"),
      text("CentsM", "0"),
      text("CentsW", "0"),
      text("CentsT", "0"),
      number("Seconds", 0),
      number("SecondsD", 0),
      number("SecondsM", 0),
      number("SecondsW", 0),
      number("SecondsT", 0),
      number("SecondsPlus", 5),
      number("Zero", 20),
      {"XX", DefaultKind::ScreenLeft, 105, {}},
      {"YY", DefaultKind::ScreenTop, 85, {}},
      number("CurrencyStatus", 0),
      number("CurrencyFull", 0),
      text("CurrencySub", "ц."),  // Cyrillic letter and a full stop
      text("Currency", "$"),
      flag("PlayON", 0),
      flag("PlayOFF", 0),
      flag("StartON", 0),
      flag("StartOFF", 0),
      text("SoundON", platform.soundOn),
      text("SoundOFF", platform.soundOff),
      text("AppON", platform.appOn),
      text("AppOFF", ""),
      text("CurrencyCustom", "НАСТРАИВАЕМАЯ"),
      text("CurrencyCustomA", "ТУГРИКИ"),
      text("CurrencyCustomB", "ТУГРИКОВ"),
      text("CurrencyCustomMain", "@"),
      text("CurrencyCustomSub", "т."),  // Cyrillic letter and a full stop
      flag("Trunc", 0),
  };
}

}  // namespace

const std::vector<DefaultValue>& programDefaults() {
  static const std::vector<DefaultValue> defaults = makeProgramDefaults();
  return defaults;
}

const std::array<TariffDefault, 15>& tariffDefaults() {
  // MAX 20:00-2:00 at 75, MID 9:30-20:00 at 60, MIN 2:00-9:30 at 20.
  static const std::array<TariffDefault, 15> defaults = {{
      {"MaxAH", 20},
      {"MaxAM", 0},
      {"MaxZH", 2},
      {"MaxZM", 0},
      {"MaxC", 75},
      {"MidAH", 9},
      {"MidAM", 30},
      {"MidZH", 20},
      {"MidZM", 0},
      {"MidC", 60},
      {"MinAH", 2},
      {"MinAM", 0},
      {"MinZH", 9},
      {"MinZM", 30},
      {"MinC", 20},
  }};
  return defaults;
}

}  // namespace pelmora
