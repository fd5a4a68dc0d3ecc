// What a started program's handling shares on every system: waiting for its end and reading
// what it wrote to its standard error.
#include "support/ProgramProcess.h"

#include <fstream>
#include <sstream>
#include <thread>

namespace pelmora::testing {

void sleepFor(std::chrono::milliseconds ms) {
  std::this_thread::sleep_for(ms);
}

int ProgramProcess::wait(std::chrono::milliseconds timeout) {
  waitUntil([this] { return !running(); }, timeout);
  return m_status;
}

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
