#pragma once

#include "platform/DataFolder.h"

namespace pelmora {

// True while an instance of Pelmora runs over this data folder (it holds the instance lock).
// Only looks: nothing is created, and a starting instance is never made to think it is second.
bool pelmoraRunning(const DataFolder& folder);

}  // namespace pelmora
