#pragma once

#include "platform/AddressOpener.h"

namespace pelmora {

// Opens addresses through the desktop's "open" convention (xdg-open and friends).
class QtAddressOpener final : public AddressOpener {
 public:
  bool open(const std::string& address) override;
};

}  // namespace pelmora
