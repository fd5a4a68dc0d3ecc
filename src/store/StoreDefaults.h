#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Screen.h"

namespace pelmora {

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
