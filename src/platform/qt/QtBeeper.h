#pragma once

#include "platform/Beeper.h"

namespace pelmora {

// The desktop's own beep (QApplication::beep).
class QtBeeper final : public Beeper {
 public:
  void beep() override;
};

}  // namespace pelmora
