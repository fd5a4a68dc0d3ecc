#pragma once

#include "platform/ProgramStarter.h"

namespace pelmora {

// Starts programs detached, without a shell: a path with blanks stays one path.
class QtProgramStarter final : public ProgramStarter {
 public:
  bool start(const std::string& program, const std::vector<std::string>& arguments) override;
  bool startCommandLine(const std::string& commandLine) override;
};

}  // namespace pelmora
