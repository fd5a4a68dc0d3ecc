#pragma once

#include <optional>

#include "platform/Screen.h"

namespace pelmora::testing {

// A screen of a fixed size.
struct FixedScreen final : Screen {
  explicit FixedScreen(ScreenSize screen = {1280, 1024}) : fixed(screen) {}
  ScreenSize size() const override { return fixed; }
  ScreenArea availableArea() const override {
    return available.value_or(ScreenArea{0, 0, fixed.width, fixed.height});
  }
  ScreenSize fixed;
  std::optional<ScreenArea> available;  // the whole screen when not set
};

}  // namespace pelmora::testing
