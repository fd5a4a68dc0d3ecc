#pragma once

#include "platform/ReportPrinter.h"

namespace pelmora {

// Windows: asks the shell to carry out the verb "print" on the file, that is the program
// registered to print its kind of file, without waiting for the printing.
class ShellReportPrinter final : public ReportPrinter {
 public:
  PrintResult print(const std::filesystem::path& file) override;
};

}  // namespace pelmora
