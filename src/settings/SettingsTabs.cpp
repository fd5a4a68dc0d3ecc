#include "settings/SettingsTabs.h"

#include <array>
#include <exception>
#include <tuple>
#include <utility>

#include "accounting/Connection.h"
#include "platform/ProgramVersion.h"
#include "store/ProgramOptions.h"
#include "store/SettingsStore.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"

namespace pelmora {

namespace {

bool readFlag(StoreKey& key, IntegerOption option) {
  return read(key, option) != 0;
}

// The box is checked first, so that a change to unchecked always reaches its dependants.
void loadAction(StoreKey& key, ActionControls& controls, IntegerOption flag) {
  const bool on = readFlag(key, flag);
  controls.checked = true;
  controls.checked = on;
  controls.checkedHeld = true;
}

// The values the options, connection and disconnection tabs load besides the numeric edits and
// the action rows, which know themselves whether they hold a value.
constexpr std::array<const char*, 6> kLoadedNames{
    kProgramTitle,        options::kShowOnStart.name,      options::kShowOnConnect.name,
    options::kTrunc.name, options::kHideOnDisconnect.name, options::kCurrencyFull.name};

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
  m_loadError = nullptr;
  m_unloaded.clear();
  for (const char* name : kLoadedNames) m_unloaded.insert(name);
  for (NumericEdit* edit : {&eXX, &eYY, &eZero, &eMaxCents, &eSecondsPlus}) edit->forget();
  for (ActionControls* action : {&playOn, &playOff, &startOn, &startOff}) {
    action->checkedHeld = false;
    action->textHeld = false;
  }
  auto program = openKey(m_store, kProgramKey);
  auto run = openKey(m_store, kRunKey);
  // Each value on its own: one that cannot be read keeps its control as it was and out of the
  // commit, and the first such error is kept for throwLoadError.
  const auto attempt = [this](const char* name, const std::function<void()>& step) {
    try {
      step();
      m_unloaded.erase(name);
    } catch (const StoreError&) {
      if (!m_loadError) m_loadError = std::current_exception();
    }
  };
  // Whatever the entry's data, its existence is the setting.
  attempt(kProgramTitle, [&] { autoStart = run->ValueExists(kProgramTitle); });
  attempt(options::kShowOnStart.name,
          [&] { showOnStart = readFlag(*program, options::kShowOnStart); });
  attempt(options::kShowOnConnect.name,
          [&] { showOnConnect = readFlag(*program, options::kShowOnConnect); });
  attempt(options::kHideOnDisconnect.name,
          [&] { hideOnDisconnect = readFlag(*program, options::kHideOnDisconnect); });
  attempt(options::kTrunc.name, [&] { trunc = readFlag(*program, options::kTrunc); });
  if (currency) {
    attempt(options::kCurrencyFull.name, [&] { currency(*program); });
  } else {
    m_unloaded.erase(options::kCurrencyFull.name);
  }
  WindowEdges edges;
  // The position edits are validated against the maxima of the previous showing: the new ones
  // are set only at the end. A numeric edit counts as loaded once its validator accepted a number.
  attempt(options::kXX.name,
          [&] { edges.left = eXX.change(upDownText(read(*program, options::kXX))).moveEdge; });
  attempt(options::kYY.name,
          [&] { edges.top = eYY.change(upDownText(read(*program, options::kYY))).moveEdge; });
  attempt(options::kZero.name, [&] { eZero.change(upDownText(read(*program, options::kZero))); });
  attempt(options::kMaxCents.name,
          [&] { eMaxCents.change(upDownText(read(*program, options::kMaxCents))); });
  attempt(options::kSecondsPlus.name,
          [&] { eSecondsPlus.change(upDownText(read(*program, options::kSecondsPlus))); });
  attempt(options::kPlayON.name, [&] { loadAction(*program, playOn, options::kPlayON); });
  attempt(options::kPlayOFF.name, [&] { loadAction(*program, playOff, options::kPlayOFF); });
  attempt(options::kStartON.name, [&] { loadAction(*program, startOn, options::kStartON); });
  attempt(options::kStartOFF.name, [&] { loadAction(*program, startOff, options::kStartOFF); });
  attempt(options::kSoundON.name, [&] {
    playOn.text = read(*program, options::kSoundON);
    playOn.textHeld = true;
  });
  attempt(options::kSoundOFF.name, [&] {
    playOff.text = read(*program, options::kSoundOFF);
    playOff.textHeld = true;
  });
  attempt(options::kAppON.name, [&] {
    startOn.text = read(*program, options::kAppON);
    startOn.textHeld = true;
  });
  attempt(options::kAppOFF.name, [&] {
    startOff.text = read(*program, options::kAppOFF);
    startOff.textHeld = true;
  });
  program->CloseKey();
  run->CloseKey();
  eXX.setMaximum(screen.width - kStatusFrameWidth);
  eYY.setMaximum(screen.height - kStatusFrameHeight);
  return edges;
}

void OptionsTabs::throwLoadError() const {
  if (m_loadError) std::rethrow_exception(m_loadError);
}

void OptionsTabs::changedByUser(const char* name) {
  m_unloaded.erase(name);
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
  dialog.unloaded = m_unloaded;
  // A numeric edit that could not be loaded holds a number again once the user entered one.
  const std::array<std::pair<const NumericEdit*, const char*>, 5> edits{
      {{&eXX, options::kXX.name},
       {&eYY, options::kYY.name},
       {&eZero, options::kZero.name},
       {&eMaxCents, options::kMaxCents.name},
       {&eSecondsPlus, options::kSecondsPlus.name}}};
  for (const auto& [edit, name] : edits) {
    if (!edit->held()) dialog.unloaded.insert(name);
  }
  const std::array<std::tuple<const ActionControls*, const char*, const char*>, 4> actions{
      {{&playOn, options::kPlayON.name, options::kSoundON.name},
       {&playOff, options::kPlayOFF.name, options::kSoundOFF.name},
       {&startOn, options::kStartON.name, options::kAppON.name},
       {&startOff, options::kStartOFF.name, options::kAppOFF.name}}};
  for (const auto& [action, flag, text] : actions) {
    if (!action->checkedHeld) dialog.unloaded.insert(flag);
    if (!action->textHeld) dialog.unloaded.insert(text);
  }
  return dialog;
}

}  // namespace pelmora
