#include "settings/ReportTexts.h"

#include <string>

#include "platform/DataFolder.h"

namespace pelmora {

// Printing asks the shell to print the file with the program registered for text files.
std::filesystem::path printedReportPath(const DataFolder&) {
  return std::filesystem::path(L"C:\\Pelmora.TxT");
}

MessageBoxRequest printFailureBox(const PrintResult& result, const std::filesystem::path&) {
  if (result.outcome == PrintOutcome::NoPrintCommand) {
    return informationBox(kPrintFailureTitle,
                          "Реестр не содержит информацию о печати текстовых файлов!\nОткройте и "
                          "напечатайте файл C:\\PELMORA.TXT вручную.",
                          MessageIcon::Error);
  }
  return informationBox(kPrintFailureTitle,
                        "Произошла ошибка при попытке распечатать файл!\nОткройте и напечатайте "
                        "файл C:\\PELMORA.TXT вручную.",
                        MessageIcon::Error);
}

}  // namespace pelmora
