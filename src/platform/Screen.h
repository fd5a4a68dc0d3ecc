#pragma once

namespace pelmora {

// The size of the primary screen in pixels.
struct ScreenSize {
  int width = 0;
  int height = 0;
};

// The part of the screen that windows may take: without the desktop's panels.
struct ScreenArea {
  int left = 0;
  int top = 0;
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
  // The primary screen's available area at this moment; the whole screen unless told otherwise.
  virtual ScreenArea availableArea() const {
    const ScreenSize whole = size();
    return {0, 0, whole.width, whole.height};
  }
};

}  // namespace pelmora
