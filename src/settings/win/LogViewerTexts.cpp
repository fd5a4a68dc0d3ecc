#include "settings/LogViewerTexts.h"

namespace pelmora {

// The log is opened in Notepad.
MessageBoxRequest logViewerMissingBox(const std::filesystem::path&) {
  return informationBox(
      "Файл \"notepad.exe\" не найден.   :-(",
      "Внимание! На Вашем компьютере не найден \"Блокнот\" (notepad.exe).\nПросмотр log-файла "
      "из программы не возможен.\nОткройте log-файл самостоятельно.",
      MessageIcon::Warning);
}

}  // namespace pelmora
