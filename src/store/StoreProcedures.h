#pragma once

#include <string>

#include "platform/Screen.h"
#include "store/SettingsStore.h"

namespace pelmora {

// The store work of the start-up sequence, in the order it runs: stampVersionCheck,
// writeMissingDefaults, ensureTariffWeek, stampVersionWrite, and later countLaunch. Store errors
// are not caught here.

// The autostart value's data for this executable: its path in double quotation marks.
std::string autostartData(const std::string& executablePath);

// The name of the autostart value and launch counter of a version: "Pelmora v" major.minor.
std::string programTitle(int major, int minor);

// When the store was last stamped by another version and that version's autostart entry
// exists, replaces it by this version's entry pointing at executablePath. Autostart that was
// off stays off. Nothing happens before the first stamp.
void stampVersionCheck(SettingsStore& store, const std::string& executablePath);

// Writes every missing value of the program key with its default (XX and YY from the screen
// size now); values that exist are left alone whatever they hold. True when anything was
// written.
bool writeMissingDefaults(SettingsStore& store, const Screen& screen);

// True when any of the 105 tariff values of the week was missing; then the whole week is
// rewritten with the default tariffs, values that existed included.
bool ensureTariffWeek(SettingsStore& store);

// Stamps this version: VersionA, VersionZ and Version.
void stampVersionWrite(SettingsStore& store);

// Counts this start in this version's launch counter (created at 0 first).
void countLaunch(SettingsStore& store);

}  // namespace pelmora
