#pragma once

#include <chrono>

#include "platform/ReportPrinter.h"

namespace pelmora {

// Prints through the system's print command: lp, looked up on PATH and started without a shell
// with the report's absolute path as its one argument. lp only queues the job and returns at
// once, so the user-interface thread waits for it; the wait is bounded (3 s by default) so that a
// print system that hangs cannot freeze the window: then lp is killed and the print has failed.
// No lp on PATH is "no print command", apart from a failure of lp itself.
class LpReportPrinter final : public ReportPrinter {
 public:
  static constexpr std::chrono::milliseconds kDefaultTimeout{3000};

  explicit LpReportPrinter(std::chrono::milliseconds timeout = kDefaultTimeout)
      : m_timeout(timeout) {}
  PrintResult print(const std::filesystem::path& file) override;

 private:
  std::chrono::milliseconds m_timeout;
};

}  // namespace pelmora
