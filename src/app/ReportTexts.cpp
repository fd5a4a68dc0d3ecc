#include "app/ReportTexts.h"

#include <string>
#include <system_error>

namespace pelmora {

std::string fullPathText(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(file, ec);
  if (ec) full = file;
  const std::u8string text = full.u8string();
  return std::string(text.begin(), text.end());
}

MessageBoxRequest reportNotWrittenBox(const std::filesystem::path& file) {
  return informationBox("Ошибка при записи файла.",
                        "Не удалось записать статистику в файл\n" + fullPathText(file) +
                            "\nПроверьте, что папка существует и в неё можно писать.",
                        MessageIcon::Error);
}

}  // namespace pelmora
