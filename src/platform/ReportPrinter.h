#pragma once

#include <filesystem>
#include <string>

namespace pelmora {

enum class PrintOutcome {
  Printed,         // the system took the file for printing
  NoPrintCommand,  // nothing on this system prints files
  Failed,          // the print command refused or broke down: see the reason
};

struct PrintResult {
  PrintOutcome outcome = PrintOutcome::Printed;
  std::string reason;  // UTF-8, for Failed: what went wrong, to show to the user
};

// Hands a finished report file to the system's printing. Linux: the print command lp
// (LpReportPrinter). Windows: the shell's "print" verb for the file (ShellExecute), that is the
// program registered to print text files.
class ReportPrinter {
 public:
  virtual ~ReportPrinter() = default;
  // Prints the file; returns once the system has taken it or refused it.
  virtual PrintResult print(const std::filesystem::path& file) = 0;
};

}  // namespace pelmora
