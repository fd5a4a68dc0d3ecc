#pragma once

#include <iosfwd>
#include <string>

#include "platform/ReportPrinter.h"

namespace pelmora {

// Prints nothing: writes "print <path>" to a stream for each file and gives every print the
// same answer, set once: "printed" (also when empty), "none" (no print command), "failed" or
// "failed:<reason>". Chosen when PELMORA_PRINTER is set.
class ScriptedReportPrinter final : public ReportPrinter {
 public:
  ScriptedReportPrinter(const std::string& answer, std::ostream& transcript);
  PrintResult print(const std::filesystem::path& file) override;

 private:
  PrintResult m_answer;
  std::ostream& m_transcript;
};

}  // namespace pelmora
