#pragma once

#include <filesystem>
#include <string>

#include "platform/MessageBoxes.h"
#include "platform/ReportPrinter.h"

namespace pelmora {

class DataFolder;

// The statistics report's texts and places that differ between systems (linux/ReportTexts.cpp,
// win/ReportTexts.cpp).

// The fixed file the report is written to for printing: Pelmora.TxT in the data folder; on
// Windows C:\Pelmora.TxT.
std::filesystem::path printedReportPath(const DataFolder& folder);

// The box after printing the report did not start (the result is NoPrintCommand or Failed):
// the stop icon, and the file the user can print by hand.
MessageBoxRequest printFailureBox(const PrintResult& result, const std::filesystem::path& report);

inline constexpr const char* kPrintFailureTitle = "Ошибка при запуске команды \"печать\".";

// The box when the report could not be written to the file; it names the file.
MessageBoxRequest reportNotWrittenBox(const std::filesystem::path& file);

}  // namespace pelmora
