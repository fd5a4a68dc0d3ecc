#include "store/ProgramOptions.h"

#include "store/SettingsStore.h"

namespace pelmora {

std::int32_t read(StoreKey& key, IntegerOption option) {
  return key.ReadInteger(option.name);
}

std::string read(StoreKey& key, TextOption option) {
  return key.ReadString(option.name);
}

void write(StoreKey& key, IntegerOption option, std::int32_t value) {
  key.WriteInteger(option.name, value);
}

void write(StoreKey& key, TextOption option, const std::string& value) {
  key.WriteString(option.name, value);
}

bool exists(StoreKey& key, IntegerOption option) {
  return key.ValueExists(option.name);
}

bool exists(StoreKey& key, TextOption option) {
  return key.ValueExists(option.name);
}

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

DefaultValue flag(IntegerOption option, std::int32_t value) {
  return {option.name, DefaultKind::Integer, value, {}};
}
DefaultValue number(IntegerOption option, std::int32_t value) {
  return {option.name, DefaultKind::Integer, value, {}};
}
DefaultValue text(TextOption option, std::string value) {
  return {option.name, DefaultKind::Text, 0, std::move(value)};
}

std::vector<DefaultValue> makeProgramDefaults() {
  const PlatformDefaults& platform = platformDefaults();
  return {
      flag(options::kHideOnDisconnect, 1),
      flag(options::kShowOnConnect, 1),
      flag(options::kShowOnStart, 0),
      flag(options::kUpdatedM, 1),
      flag(options::kUpdatedW, 1),
      number(options::kMaxCents, 100),
      number(options::kNumberD, 0),
      number(options::kNumberM, 0),
      number(options::kNumberW, 0),
      number(options::kNumberT, 0),
      text(options::kCents, "0"),
      text(options::kCentsD, "0"),
      text(options::kCentsM, "0"),
      text(options::kCentsW, "0"),
      text(options::kCentsT, "0"),
      number(options::kSeconds, 0),
      number(options::kSecondsD, 0),
      number(options::kSecondsM, 0),
      number(options::kSecondsW, 0),
      number(options::kSecondsT, 0),
      number(options::kSecondsPlus, 5),
      number(options::kZero, 20),
      {options::kXX.name, DefaultKind::ScreenLeft, 105, {}},
      {options::kYY.name, DefaultKind::ScreenTop, 85, {}},
      number(options::kCurrencyStatus, 0),
      number(options::kCurrencyFull, 0),
      text(options::kCurrencySub, "ц."),  // Cyrillic letter and a full stop
      text(options::kCurrency, "$"),
      flag(options::kPlayON, 0),
      flag(options::kPlayOFF, 0),
      flag(options::kStartON, 0),
      flag(options::kStartOFF, 0),
      text(options::kSoundON, platform.soundOn),
      text(options::kSoundOFF, platform.soundOff),
      text(options::kAppON, platform.appOn),
      text(options::kAppOFF, ""),
      text(options::kCurrencyCustom, "НАСТРАИВАЕМАЯ"),
      text(options::kCurrencyCustomA, "ТУГРИКИ"),
      text(options::kCurrencyCustomB, "ТУГРИКОВ"),
      text(options::kCurrencyCustomMain, "@"),
      text(options::kCurrencyCustomSub, "т."),  // Cyrillic letter and a full stop
      flag(options::kTrunc, 0),
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
