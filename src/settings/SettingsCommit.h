#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>

namespace pelmora {

class SettingsStore;
class StoreKey;

// What the options, connection and disconnection tabs (and the monthly limit of the tariffs
// tab) hold: the copies of the settings that the O K button writes.
struct DialogOptions {
  bool autoStart = false;         // cbAutoStart: the autostart entry exists
  bool showOnStart = false;       // cbShowOnStart
  bool showOnConnect = false;     // cbShowOnConnect
  bool hideOnDisconnect = false;  // cbHideOnDisconnect
  std::int32_t left = 0;          // eXX
  std::int32_t top = 0;           // eYY
  std::int32_t freeSeconds = 0;   // eZero
  std::int32_t maxCents = 0;      // eMaxCents
  std::int32_t extraSeconds = 0;  // eSecondsPlus
  bool playOn = false;            // cbPlayON
  bool playOff = false;           // cbPlayOFF
  bool startOn = false;           // cbStartON
  bool startOff = false;          // cbStartOFF
  std::string soundOn;            // ePlayON
  std::string soundOff;           // ePlayOFF
  std::string appOn;              // eStartON
  std::string appOff;             // eStartOFF
  bool trunc = false;             // cbTrunc
  // The values whose control could not be loaded and was not changed by the user since: they are
  // not written, so the stored value stays. The autostart entry is named by kProgramTitle, the
  // currency row (selection and signs) by CurrencyFull.
  std::set<std::string, std::less<>> unloaded;
};

// The commit's steps that belong to the currency and tariff tabs. Each runs at its place in the
// commit; an empty one is skipped.
struct CommitExtensions {
  // After the three window flags: CurrencyFull and CurrencyStatus, into the open program key.
  std::function<void(StoreKey& program)> currencySelection;
  // After Trunc: Currency and CurrencySub by the selected currency, into the open program key.
  std::function<void(StoreKey& program)> currencySigns;
  // After both keys are closed: the tariffs shown on the tariffs tab, into their weekday's key.
  std::function<void(SettingsStore& store)> tariffDay;
};

// The O K button's writes, in this order: the autostart entry (the quoted executable path, or
// no entry), ShowOnStart, ShowOnConnect, HideOnDisconnect, the currency selection, XX, YY, Zero,
// MaxCents, SecondsPlus, PlayON, PlayOFF, StartON, StartOFF, SoundON, SoundOFF, AppON, AppOFF,
// Trunc, the currency signs, then the tariff day; a value named in dialog.unloaded is skipped.
// Flags are written as 0 or 1. A store error
// abandons the remaining writes and is passed on; what was written before it stays written.
// Hiding the dialog and re-showing the status window are left to the caller.
void commitSettings(SettingsStore& store, const DialogOptions& dialog,
                    const std::string& executablePath, const CommitExtensions& extensions = {});

}  // namespace pelmora
