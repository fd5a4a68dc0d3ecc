#include "app/SettingsTabs.h"

#include "accounting/Meter.h"
#include "platform/ProgramVersion.h"
#include "store/ProgramOptions.h"
#include "store/SettingsStore.h"
#include "store/StoreKeys.h"

namespace pelmora {

namespace {

bool readFlag(StoreKey& key, IntegerOption option) {
  return read(key, option) != 0;
}

// The box is checked first, so that a change to unchecked always reaches its dependants.
void loadAction(StoreKey& key, ActionControls& controls, IntegerOption flag) {
  controls.checked = true;
  controls.checked = readFlag(key, flag);
}

}  // namespace

OptionsTabs::OptionsTabs(SettingsStore& store, std::int32_t& lastValidated)
    : eXX(store, options::kXX, {0, kDesignPositionMaximum}, ValidEntry::SetsPositionAndMovesEdge, 4,
          lastValidated),
      eYY(store, options::kYY, {0, kDesignPositionMaximum}, ValidEntry::SetsPositionAndMovesEdge, 4,
          lastValidated),
      eZero(store, options::kZero, {0, kMaxFreeSeconds}, ValidEntry::SetsPosition, 3,
            lastValidated),
      eSecondsPlus(store, options::kSecondsPlus, {0, kMaxExtraSeconds}, ValidEntry::SetsPosition, 2,
                   lastValidated),
      eMaxCents(store, options::kMaxCents, {0, kMaxMonthlyCents}, ValidEntry::RecordsOnly, 6,
                lastValidated),
      m_store(store) {}

WindowEdges OptionsTabs::load(const ScreenSize& screen,
                              const std::function<void(StoreKey& program)>& currency) {
  auto program = openKey(m_store, kProgramKey);
  auto run = openKey(m_store, kRunKey);
  // Whatever the entry's data, its existence is the setting.
  autoStart = run->ValueExists(kProgramTitle);
  showOnStart = readFlag(*program, options::kShowOnStart);
  showOnConnect = readFlag(*program, options::kShowOnConnect);
  hideOnDisconnect = readFlag(*program, options::kHideOnDisconnect);
  trunc = readFlag(*program, options::kTrunc);
  if (currency) currency(*program);
  WindowEdges edges;
  // The position edits are validated against the maxima of the previous showing: the new ones
  // are set only at the end.
  edges.left = eXX.change(upDownText(read(*program, options::kXX))).moveEdge;
  edges.top = eYY.change(upDownText(read(*program, options::kYY))).moveEdge;
  eZero.change(upDownText(read(*program, options::kZero)));
  eMaxCents.change(upDownText(read(*program, options::kMaxCents)));
  eSecondsPlus.change(upDownText(read(*program, options::kSecondsPlus)));
  loadAction(*program, playOn, options::kPlayON);
  loadAction(*program, playOff, options::kPlayOFF);
  loadAction(*program, startOn, options::kStartON);
  loadAction(*program, startOff, options::kStartOFF);
  playOn.text = read(*program, options::kSoundON);
  playOff.text = read(*program, options::kSoundOFF);
  startOn.text = read(*program, options::kAppON);
  startOff.text = read(*program, options::kAppOFF);
  program->CloseKey();
  run->CloseKey();
  eXX.setMaximum(screen.width - kStatusFrameWidth);
  eYY.setMaximum(screen.height - kStatusFrameHeight);
  return edges;
}

DialogOptions OptionsTabs::options() const {
  DialogOptions dialog;
  dialog.autoStart = autoStart;
  dialog.showOnStart = showOnStart;
  dialog.showOnConnect = showOnConnect;
  dialog.hideOnDisconnect = hideOnDisconnect;
  dialog.left = eXX.value();
  dialog.top = eYY.value();
  dialog.freeSeconds = eZero.value();
  dialog.maxCents = eMaxCents.value();
  dialog.extraSeconds = eSecondsPlus.value();
  dialog.playOn = playOn.checked;
  dialog.playOff = playOff.checked;
  dialog.startOn = startOn.checked;
  dialog.startOff = startOff.checked;
  dialog.soundOn = playOn.text;
  dialog.soundOff = playOff.text;
  dialog.appOn = startOn.text;
  dialog.appOff = startOff.text;
  dialog.trunc = trunc;
  return dialog;
}

}  // namespace pelmora
