#include "settings/SettingsCommit.h"

#include <string_view>

#include "platform/ProgramVersion.h"
#include "store/ProgramOptions.h"
#include "store/SettingsStore.h"
#include "store/StoreKeys.h"
#include "store/StoreProcedures.h"

namespace pelmora {

namespace {

void writeFlag(StoreKey& key, IntegerOption option, bool on) {
  write(key, option, on ? 1 : 0);
}

}  // namespace

void commitSettings(SettingsStore& store, const DialogOptions& dialog,
                    const std::string& executablePath, const CommitExtensions& extensions) {
  // Not one unit: a failing write leaves the earlier ones in place, and each handle commits its
  // own writes when it is closed or dropped.
  auto program = openKey(store, kProgramKey);
  auto run = openKey(store, kRunKey);
  const auto loaded = [&dialog](std::string_view name) { return !dialog.unloaded.contains(name); };
  const auto flag = [&](IntegerOption option, bool on) {
    if (loaded(option.name)) writeFlag(*program, option, on);
  };
  const auto number = [&](IntegerOption option, std::int32_t value) {
    if (loaded(option.name)) write(*program, option, value);
  };
  const auto text = [&](TextOption option, const std::string& value) {
    if (loaded(option.name)) write(*program, option, value);
  };
  const bool currencyLoaded = loaded(options::kCurrencyFull.name);
  if (!loaded(kProgramTitle)) {
    // Neither created nor removed: the entry stays as it is.
  } else if (dialog.autoStart) {
    run->WriteString(kProgramTitle, autostartData(executablePath));
  } else {
    run->DeleteValue(kProgramTitle);
  }
  flag(options::kShowOnStart, dialog.showOnStart);
  flag(options::kShowOnConnect, dialog.showOnConnect);
  flag(options::kHideOnDisconnect, dialog.hideOnDisconnect);
  if (extensions.currencySelection && currencyLoaded) extensions.currencySelection(*program);
  number(options::kXX, dialog.left);
  number(options::kYY, dialog.top);
  number(options::kZero, dialog.freeSeconds);
  number(options::kMaxCents, dialog.maxCents);
  number(options::kSecondsPlus, dialog.extraSeconds);
  flag(options::kPlayON, dialog.playOn);
  flag(options::kPlayOFF, dialog.playOff);
  flag(options::kStartON, dialog.startOn);
  flag(options::kStartOFF, dialog.startOff);
  text(options::kSoundON, dialog.soundOn);
  text(options::kSoundOFF, dialog.soundOff);
  text(options::kAppON, dialog.appOn);
  text(options::kAppOFF, dialog.appOff);
  flag(options::kTrunc, dialog.trunc);
  if (extensions.currencySigns && currencyLoaded) extensions.currencySigns(*program);
  program->CloseKey();
  run->CloseKey();
  if (extensions.tariffDay) extensions.tariffDay(store);
}

}  // namespace pelmora
