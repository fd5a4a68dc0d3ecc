#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "settings/SettingsCommit.h"
#include "settings/SettingsNumericEdit.h"
#include "platform/Screen.h"

namespace pelmora {

class SettingsStore;
class StoreKey;

// The status window's visible frame: the position edits' maxima keep all of it on the screen.
inline constexpr std::int32_t kStatusFrameWidth = 105;
inline constexpr std::int32_t kStatusFrameHeight = 32;
// The position up-downs' maximum until the dialog is first shown.
inline constexpr std::int32_t kDesignPositionMaximum = 2000;
inline constexpr std::int32_t kMaxMonthlyCents = 32500;

// A check box that switches a sound or a program at a connect or a disconnect, with the text
// of its edit. Its test button, edit and "..." button are enabled exactly when it is checked.
struct ActionControls {
  bool checked = false;
  std::string text;
  // Whether each holds what was loaded or what the user set since; false after its value could
  // not be loaded: it is then not written.
  bool checkedHeld = true;
  bool textHeld = true;

  bool dependentsEnabled() const { return checked; }
};

// Where the loading moved the status window (the position edits' validators move it).
struct WindowEdges {
  std::optional<std::int32_t> left;
  std::optional<std::int32_t> top;
};

// The controls of the options, connection and disconnection tabs and the monthly limit of the
// tariffs tab, without widgets. The widgets show what these hold and hand every change in; the
// values reach the store only through commitSettings(options()).
class OptionsTabs {
 public:
  // lastValidated: the most recently validated value, shared by every numeric edit.
  OptionsTabs(SettingsStore& store, std::int32_t& lastValidated);

  // The loading of these tabs each time the dialog is shown, in its order: the autostart entry,
  // the four window and rounding flags, the currency controls (currency, into the open program
  // key), the five numeric edits (each through its validator), the four action boxes and their
  // texts, then the position edits' maxima from the screen. A check box is checked for any
  // stored value but 0. A value that cannot be read costs only its own control: it keeps what it
  // showed, is left out of options().unloaded's commit, and the first such StoreError is kept for
  // throwLoadError. A key that cannot be opened stops the loading and is passed on.
  WindowEdges load(const ScreenSize& screen,
                   const std::function<void(StoreKey& program)>& currency = {});
  // The first value the last load could not read, as its StoreError; nothing when all were read.
  void throwLoadError() const;
  // The user set a control by hand (named by its value, kProgramTitle for the autostart box,
  // CurrencyFull for the currency row): it is written again even if it could not be loaded.
  void changedByUser(const char* name);

  // What the controls hold, for the commit, with the values that are not to be written.
  DialogOptions options() const;

  bool autoStart = false;         // cbAutoStart
  bool showOnStart = false;       // cbShowOnStart
  bool showOnConnect = false;     // cbShowOnConnect
  bool hideOnDisconnect = false;  // cbHideOnDisconnect
  bool trunc = false;             // cbTrunc
  ActionControls playOn;          // cbPlayON, ePlayON
  ActionControls playOff;         // cbPlayOFF, ePlayOFF
  ActionControls startOn;         // cbStartON, eStartON
  ActionControls startOff;        // cbStartOFF, eStartOFF
  NumericEdit eXX;                // udX: 0 ... screen width - 105
  NumericEdit eYY;                // udY: 0 ... screen height - 32
  NumericEdit eZero;              // udZero: 0 ... 900
  NumericEdit eSecondsPlus;       // udSecondsPlus: 0 ... 100
  NumericEdit eMaxCents;          // udMaxCents: 0 ... 32500, not moved by the edit

 private:
  SettingsStore& m_store;
  std::set<std::string, std::less<>> m_unloaded;
  std::exception_ptr m_loadError;
};

}  // namespace pelmora
