#pragma once

#include "platform/Screen.h"

namespace pelmora {

// The primary screen as the window system reports it, in device-independent pixels.
class QtScreen final : public Screen {
 public:
  // Zero by zero while no screen is attached.
  ScreenSize size() const override;
  ScreenArea availableArea() const override;
};

}  // namespace pelmora
