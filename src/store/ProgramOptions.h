#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Screen.h"

namespace pelmora {

class StoreKey;

// One value of the program key, by name and type. Every read and write of the program key goes
// through these, so each name is spelt once.
struct IntegerOption {
  const char* name;
};
struct TextOption {
  const char* name;
};

// The integer; StoreError when it is missing or not an integer.
std::int32_t read(StoreKey& key, IntegerOption option);
// The text; empty when missing; StoreError when it is not a text.
std::string read(StoreKey& key, TextOption option);
void write(StoreKey& key, IntegerOption option, std::int32_t value);
void write(StoreKey& key, TextOption option, const std::string& value);
bool exists(StoreKey& key, IntegerOption option);
bool exists(StoreKey& key, TextOption option);

// Every value of the program key. Those with a default are listed in programDefaults() in the
// same order; the others are written by the program as it runs.
namespace options {
// Showing and hiding the status window.
inline constexpr IntegerOption kHideOnDisconnect{"HideOnDisconnect"};
inline constexpr IntegerOption kShowOnConnect{"ShowOnConnect"};
inline constexpr IntegerOption kShowOnStart{"ShowOnStart"};
// Latches of the monthly and weekly resets.
inline constexpr IntegerOption kUpdatedM{"UpdatedM"};
inline constexpr IntegerOption kUpdatedW{"UpdatedW"};
// The monthly spending limit, minor units.
inline constexpr IntegerOption kMaxCents{"MaxCents"};
// Connections counted per day, week, month and in total.
inline constexpr IntegerOption kNumberD{"NumberD"};
inline constexpr IntegerOption kNumberM{"NumberM"};
inline constexpr IntegerOption kNumberW{"NumberW"};
inline constexpr IntegerOption kNumberT{"NumberT"};
// Costs in minor units: the last connection, the day, week, month and total.
inline constexpr TextOption kCents{"Cents"};
inline constexpr TextOption kCentsD{"CentsD"};
inline constexpr TextOption kCentsM{"CentsM"};
inline constexpr TextOption kCentsW{"CentsW"};
inline constexpr TextOption kCentsT{"CentsT"};
// Durations in seconds: the last connection, the day, week, month and total.
inline constexpr IntegerOption kSeconds{"Seconds"};
inline constexpr IntegerOption kSecondsD{"SecondsD"};
inline constexpr IntegerOption kSecondsM{"SecondsM"};
inline constexpr IntegerOption kSecondsW{"SecondsW"};
inline constexpr IntegerOption kSecondsT{"SecondsT"};
// Seconds added to every connection, and the longest connection that costs nothing.
inline constexpr IntegerOption kSecondsPlus{"SecondsPlus"};
inline constexpr IntegerOption kZero{"Zero"};
// The status window's position.
inline constexpr IntegerOption kXX{"XX"};
inline constexpr IntegerOption kYY{"YY"};
// Currency: the unit shown, the unit of the log, the signs and the custom currency.
inline constexpr IntegerOption kCurrencyStatus{"CurrencyStatus"};
inline constexpr IntegerOption kCurrencyFull{"CurrencyFull"};
inline constexpr TextOption kCurrencySub{"CurrencySub"};
inline constexpr TextOption kCurrency{"Currency"};
// Sounds and programs at a connect and a disconnect.
inline constexpr IntegerOption kPlayON{"PlayON"};
inline constexpr IntegerOption kPlayOFF{"PlayOFF"};
inline constexpr IntegerOption kStartON{"StartON"};
inline constexpr IntegerOption kStartOFF{"StartOFF"};
inline constexpr TextOption kSoundON{"SoundON"};
inline constexpr TextOption kSoundOFF{"SoundOFF"};
inline constexpr TextOption kAppON{"AppON"};
inline constexpr TextOption kAppOFF{"AppOFF"};
inline constexpr TextOption kCurrencyCustom{"CurrencyCustom"};
inline constexpr TextOption kCurrencyCustomA{"CurrencyCustomA"};
inline constexpr TextOption kCurrencyCustomB{"CurrencyCustomB"};
inline constexpr TextOption kCurrencyCustomMain{"CurrencyCustomMain"};
inline constexpr TextOption kCurrencyCustomSub{"CurrencyCustomSub"};
// Connections rounded up to whole minutes.
inline constexpr IntegerOption kTrunc{"Trunc"};

// Without a default: the balance in major units, the start date "dd.mm.yy", the version stamp,
// and the record of the last settled connection (its Duration.tmp line and its log entry).
inline constexpr TextOption kAccount{"Account"};
inline constexpr TextOption kDate{"Date"};
inline constexpr TextOption kVersion{"Version"};
inline constexpr IntegerOption kVersionA{"VersionA"};
inline constexpr IntegerOption kVersionZ{"VersionZ"};
inline constexpr TextOption kSettledConnection{"SettledConnection"};
inline constexpr TextOption kSettledSummary{"SettledSummary"};
}  // namespace options

// How a default value of the program key is made.
enum class DefaultKind {
  Integer,     // the fixed integer
  Text,        // the fixed text
  ScreenLeft,  // screen width minus the integer (the status window's left edge)
  ScreenTop,   // screen height minus the integer (the status window's top edge)
};

// One value of the program key with its default.
struct DefaultValue {
  const char* name;
  DefaultKind kind;
  std::int32_t integer;  // the value, or the offset from the screen edge
  std::string text;

  bool isInteger() const { return kind != DefaultKind::Text; }
  // The integer default on a screen of that size.
  std::int32_t integerOn(const ScreenSize& screen) const;
};

// The values of the program key that get defaults, in the order they are created at start:
// HideOnDisconnect ... Trunc. The same list serves the reset to defaults.
const std::vector<DefaultValue>& programDefaults();

// One tariff value of a weekday key with its default (the same for every weekday).
struct TariffDefault {
  const char* name;
  std::int32_t value;
};

// The 15 tariff values of a weekday key in their order: MaxAH ... MinC.
const std::array<TariffDefault, 15>& tariffDefaults();

// The defaults that differ between systems: the two sounds and the connect program.
struct PlatformDefaults {
  std::string soundOn;
  std::string soundOff;
  std::string appOn;
};
const PlatformDefaults& platformDefaults();

}  // namespace pelmora
