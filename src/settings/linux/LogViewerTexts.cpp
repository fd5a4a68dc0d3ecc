#include "settings/LogViewerTexts.h"

#include <string>
#include <system_error>

namespace pelmora {

// The log is opened in the desktop's program for text files; without one the user has to find
// the file himself, so its full path is given.
MessageBoxRequest logViewerMissingBox(const std::filesystem::path& log) {
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(log, ec);
  if (ec) full = log;
  return informationBox(
      "Программа для просмотра не найдена.   :-(",
      "Внимание! На Вашем компьютере не найдена программа для просмотра текстовых файлов.\n"
      "Просмотр log-файла из программы не возможен.\nОткройте log-файл самостоятельно:\n" +
          full.string(),
      MessageIcon::Warning);
}

}  // namespace pelmora
