#pragma once

namespace pelmora {

// The size of the primary screen in pixels.
struct ScreenSize {
  int width = 0;
  int height = 0;
};

// Where the core learns the screen size (the status window's default position); the user
// interface hands in the real screen, tests a fixed one.
class Screen {
 public:
  virtual ~Screen() = default;
  // The primary screen's size at this moment.
  virtual ScreenSize size() const = 0;
};

}  // namespace pelmora
