#pragma once

#include <filesystem>

#include "platform/MessageBoxes.h"

namespace pelmora {

// The warning when no program can show the connection log, in the system's own terms
// (linux/LogViewerTexts.cpp, win/LogViewerTexts.cpp).
MessageBoxRequest logViewerMissingBox(const std::filesystem::path& log);

}  // namespace pelmora
