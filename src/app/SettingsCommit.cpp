#include "app/SettingsCommit.h"

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
  if (dialog.autoStart) {
    run->WriteString(kProgramTitle, autostartData(executablePath));
  } else {
    run->DeleteValue(kProgramTitle);
  }
  writeFlag(*program, options::kShowOnStart, dialog.showOnStart);
  writeFlag(*program, options::kShowOnConnect, dialog.showOnConnect);
  writeFlag(*program, options::kHideOnDisconnect, dialog.hideOnDisconnect);
  if (extensions.currencySelection) extensions.currencySelection(*program);
  write(*program, options::kXX, dialog.left);
  write(*program, options::kYY, dialog.top);
  write(*program, options::kZero, dialog.freeSeconds);
  write(*program, options::kMaxCents, dialog.maxCents);
  write(*program, options::kSecondsPlus, dialog.extraSeconds);
  writeFlag(*program, options::kPlayON, dialog.playOn);
  writeFlag(*program, options::kPlayOFF, dialog.playOff);
  writeFlag(*program, options::kStartON, dialog.startOn);
  writeFlag(*program, options::kStartOFF, dialog.startOff);
  write(*program, options::kSoundON, dialog.soundOn);
  write(*program, options::kSoundOFF, dialog.soundOff);
  write(*program, options::kAppON, dialog.appOn);
  write(*program, options::kAppOFF, dialog.appOff);
  writeFlag(*program, options::kTrunc, dialog.trunc);
  if (extensions.currencySigns) extensions.currencySigns(*program);
  program->CloseKey();
  run->CloseKey();
  if (extensions.tariffDay) extensions.tariffDay(store);
}

}  // namespace pelmora
