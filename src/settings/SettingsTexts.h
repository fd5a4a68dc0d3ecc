#pragma once

namespace pelmora {

// The texts of the settings dialog that differ between systems (linux/SettingsTexts.cpp,
// win/SettingsTexts.cpp).

// The caption of cbAutoStart, in the system's own terms.
const char* autoStartCaption();

// The sound picker's filter as description and pattern pairs (dialogFilter): the files the
// sound player plays.
const char* soundPickerFilter();
// The program picker's filter, and whether it lists only the files the user may run.
const char* programPickerFilter();
bool programPickerExecutablesOnly();

// The extension the program picker adds to a chosen name without one, without the dot; empty
// where programs carry no extension.
const char* programPickerExtension();

}  // namespace pelmora
