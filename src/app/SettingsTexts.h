#pragma once

namespace pelmora {

// The texts of the settings dialog that differ between systems (linux/SettingsTexts.cpp,
// win/SettingsTexts.cpp).

// The caption of cbAutoStart, in the system's own terms.
const char* autoStartCaption();

// The extension the program picker adds to a chosen name without one, without the dot; empty
// where programs carry no extension.
const char* programPickerExtension();

}  // namespace pelmora
