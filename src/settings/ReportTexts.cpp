#include "settings/ReportTexts.h"

#include "platform/PathText.h"

#include <string>

namespace pelmora {

MessageBoxRequest reportNotWrittenBox(const std::filesystem::path& file) {
  return informationBox("Ошибка при записи файла.",
                        "Не удалось записать статистику в файл\n" + fullPathText(file) +
                            "\nПроверьте, что папка существует и в неё можно писать.",
                        MessageIcon::Error);
}

}  // namespace pelmora
