#include "support/MemorySettingsStore.h"

#include <algorithm>
#include <cctype>

#include "store/StoreError.h"

namespace pelmora::testing {

class MemoryStoreKey final : public StoreKey {
 public:
  MemoryStoreKey(MemorySettingsStore& store, std::string path)
      : m_store(store), m_path(std::move(path)), m_folded(MemorySettingsStore::fold(m_path)) {}

  void CloseKey() override { m_open = false; }
  bool ValueExists(const std::string& name) override { return find(name) != nullptr; }

  std::int32_t ReadInteger(const std::string& name) override {
    const auto* v = find(name);
    if (v == nullptr) throw StoreError(m_path, name, "Значение отсутствует.");
    if (!std::holds_alternative<std::int32_t>(*v)) {
      throw StoreError(m_path, name, "Ожидалось целое число (REG_DWORD).");
    }
    return std::get<std::int32_t>(*v);
  }

  std::string ReadString(const std::string& name) override {
    const auto* v = find(name);
    if (v == nullptr) return {};
    if (!std::holds_alternative<std::string>(*v)) {
      throw StoreError(m_path, name, "Ожидалась строка (REG_SZ).");
    }
    return std::get<std::string>(*v);
  }

  void WriteInteger(const std::string& name, std::int32_t value) override { write(name, value); }
  void WriteString(const std::string& name, const std::string& value) override {
    write(name, value);
  }
  void DeleteValue(const std::string& name) override {
    checkOpen(name);
    m_store.m_values[m_folded].erase(MemorySettingsStore::fold(name));
  }

 private:
  void checkOpen(const std::string& name) const {
    if (!m_open) throw StoreError(m_path, name, "Ключ закрыт.");
  }
  const MemorySettingsStore::Value* find(const std::string& name) {
    checkOpen(name);
    auto& values = m_store.m_values[m_folded];
    auto it = values.find(MemorySettingsStore::fold(name));
    return it == values.end() ? nullptr : &it->second;
  }
  void write(const std::string& name, MemorySettingsStore::Value value) {
    checkOpen(name);
    if (m_store.m_writesBusy) throw StoreBusy(m_path, name, "База настроек занята.");
    if (m_store.m_full) throw StoreFull(m_path, name, "Нет места на диске.");
    if (m_store.m_refuseWrites || MemorySettingsStore::fold(name) == m_store.m_refusedName) {
      throw StoreError(m_path, name, "Запись запрещена.");
    }
    m_store.m_values[m_folded][MemorySettingsStore::fold(name)] = std::move(value);
  }

  MemorySettingsStore& m_store;
  std::string m_path;
  std::string m_folded;
  bool m_open = true;
};

std::string MemorySettingsStore::fold(const std::string& s) {
  std::string out = s;
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

std::unique_ptr<StoreKey> MemorySettingsStore::OpenKey(const std::string& path, bool create) {
  const std::string folded = fold(path);
  if (!m_keys.count(folded)) {
    if (!create) return nullptr;
    // Parents come into existence with the key, as in the registry.
    for (std::size_t pos = folded.find('\\'); pos != std::string::npos;
         pos = folded.find('\\', pos + 1)) {
      m_keys.insert(folded.substr(0, pos));
    }
    m_keys.insert(folded);
  }
  return std::make_unique<MemoryStoreKey>(*this, path);
}

void MemorySettingsStore::DeleteKey(const std::string& path) {
  const std::string folded = fold(path);
  const std::string prefix = folded + "\\";
  for (auto it = m_keys.begin(); it != m_keys.end();) {
    it = (*it == folded || it->rfind(prefix, 0) == 0) ? m_keys.erase(it) : std::next(it);
  }
  for (auto it = m_values.begin(); it != m_values.end();) {
    it = (it->first == folded || it->first.rfind(prefix, 0) == 0) ? m_values.erase(it)
                                                                  : std::next(it);
  }
}

void MemorySettingsStore::Atomically(const std::function<void()>& steps) {
  if (m_busy) throw StoreBusy("", "", "База настроек занята.");
  const auto keys = m_keys;
  const auto values = m_values;
  try {
    steps();
  } catch (...) {
    m_keys = keys;
    m_values = values;
    throw;
  }
}

bool MemorySettingsStore::hasKey(const std::string& path) const {
  return m_keys.count(fold(path)) != 0;
}

std::optional<MemorySettingsStore::Value> MemorySettingsStore::value(
    const std::string& path, const std::string& name) const {
  auto key = m_values.find(fold(path));
  if (key == m_values.end()) return std::nullopt;
  auto it = key->second.find(fold(name));
  if (it == key->second.end()) return std::nullopt;
  return it->second;
}

void MemorySettingsStore::set(const std::string& path, const std::string& name, Value value) {
  OpenKey(path, true);
  m_values[fold(path)][fold(name)] = std::move(value);
}

void MemorySettingsStore::erase(const std::string& path, const std::string& name) {
  auto key = m_values.find(fold(path));
  if (key != m_values.end()) key->second.erase(fold(name));
}

std::size_t MemorySettingsStore::valueCount(const std::string& path) const {
  auto key = m_values.find(fold(path));
  return key == m_values.end() ? 0 : key->second.size();
}

}  // namespace pelmora::testing
