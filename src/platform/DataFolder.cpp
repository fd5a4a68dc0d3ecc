#include "platform/DataFolder.h"

#include <utility>

#include "platform/PathText.h"

namespace pelmora {

DataFolder::DataFolder(std::filesystem::path root) : m_root(std::move(root)) {}

std::string reasonText(std::error_code reason) {
  if (reason == std::errc::permission_denied || reason == std::errc::operation_not_permitted) {
    return "нет доступа";
  }
  if (reason == std::errc::read_only_file_system) {
    return "файловая система доступна только для чтения";
  }
  if (reason == std::errc::no_space_on_device) return "нет места на диске";
  if (reason == std::errc::no_such_file_or_directory) return "папка не найдена";
  if (reason == std::errc::not_a_directory) return "на месте папки находится файл";
  return reason.message();
}

std::string unusableFolderText(const std::filesystem::path& folder, std::error_code reason) {
  return "Не удалось открыть папку данных программы:\n" + fullPathText(folder) +
         "\nПричина: " + reasonText(reason) + ".";
}

}  // namespace pelmora
