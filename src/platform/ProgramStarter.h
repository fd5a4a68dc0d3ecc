#pragma once

#include <string>
#include <vector>

namespace pelmora {

// Starts other programs without waiting for them and without a shell.
class ProgramStarter {
 public:
  virtual ~ProgramStarter() = default;
  // Starts the program with these arguments; false when it could not be started.
  virtual bool start(const std::string& program, const std::vector<std::string>& arguments) = 0;
  // Starts a stored command line: a program path, optionally followed by arguments (quoted when
  // they hold blanks); false when it is empty or could not be started.
  virtual bool startCommandLine(const std::string& commandLine) = 0;
};

}  // namespace pelmora
