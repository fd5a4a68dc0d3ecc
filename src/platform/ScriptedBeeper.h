#pragma once

#include <iosfwd>

#include "platform/Beeper.h"

namespace pelmora {

// Writes the line "beep" to a stream instead of sounding it, for tests and unattended runs.
class ScriptedBeeper final : public Beeper {
 public:
  explicit ScriptedBeeper(std::ostream& transcript) : m_transcript(transcript) {}
  void beep() override;

 private:
  std::ostream& m_transcript;
};

}  // namespace pelmora
