#include "store/StoreError.h"

#include <utility>

namespace pelmora {

namespace {

std::string describe(const std::string& key, const std::string& value,
                     const std::string& expected) {
  std::string text = "Ошибка хранилища настроек.\nКлюч: " + key;
  if (!value.empty()) text += "\nЗначение: " + value;
  text += "\n" + expected;
  return text;
}

}  // namespace

StoreError::StoreError(std::string key, std::string value, std::string expected)
    : std::runtime_error(describe(key, value, expected)),
      m_key(std::move(key)),
      m_value(std::move(value)),
      m_expected(std::move(expected)) {}

}  // namespace pelmora
