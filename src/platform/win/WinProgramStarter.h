#pragma once

#include "platform/ProgramStarter.h"

namespace pelmora {

// Windows: CreateProcess with the program shown normally, not waited for. Paths with blanks are
// quoted, so "C:\Program Files\..." is never taken for "C:\Program".
class WinProgramStarter final : public ProgramStarter {
 public:
  bool start(const std::string& program, const std::vector<std::string>& arguments) override;
  bool startCommandLine(const std::string& commandLine) override;
};

}  // namespace pelmora
