// What a started program wrote to its standard error, the same on every system.
#include "support/ProgramProcess.h"

#include <fstream>
#include <sstream>

namespace pelmora::testing {

std::string ProgramProcess::errorOutput() const {
  std::ifstream in(m_stderrFile);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The scripted message boxes' lines ("title | text | …"); a CR LF line end counts as LF.
std::string ProgramProcess::messageBoxes() const {
  std::istringstream in(errorOutput());
  std::string boxes;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find(" | ") != std::string::npos) boxes += line + "\n";
  }
  return boxes;
}

}  // namespace pelmora::testing
