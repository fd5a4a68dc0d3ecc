#include "settings/ReportTexts.h"

#include <string>

#include "platform/DataFolder.h"
#include "platform/PathText.h"

namespace pelmora {

// The report lives with the program's other files; the data folder is the user's own.
std::filesystem::path printedReportPath(const DataFolder& folder) {
  return folder.root() / "Pelmora.TxT";
}

// Printing hands the file to the print command (lp): without it there is nothing to ask, and
// when it fails it says why.
MessageBoxRequest printFailureBox(const PrintResult& result, const std::filesystem::path& report) {
  const std::string byHand = "Откройте и напечатайте файл " + fullPathText(report) + " вручную.";
  if (result.outcome == PrintOutcome::NoPrintCommand) {
    return informationBox(kPrintFailureTitle,
                          "В системе не найдена команда печати текстовых файлов!\n" + byHand,
                          MessageIcon::Error);
  }
  std::string text = "Произошла ошибка при попытке распечатать файл!\n";
  if (!result.reason.empty()) {
    // The print command's own sentence may already end in a full stop.
    const bool ended = result.reason.find_last_of(".!?") == result.reason.size() - 1;
    text += "Причина: " + result.reason + (ended ? "\n" : ".\n");
  }
  return informationBox(kPrintFailureTitle, text + byHand, MessageIcon::Error);
}

}  // namespace pelmora
