#pragma once

#include "platform/FileOpener.h"

namespace pelmora {

// Opens files through the desktop's "open" convention (xdg-open and friends).
class QtFileOpener final : public FileOpener {
 public:
  bool open(const std::filesystem::path& file) override;
};

}  // namespace pelmora
