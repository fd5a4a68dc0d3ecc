#pragma once

namespace pelmora {

// The short error beep of a refused entry.
class Beeper {
 public:
  virtual ~Beeper() = default;
  // Sounds the beep and returns at once.
  virtual void beep() = 0;
};

}  // namespace pelmora
