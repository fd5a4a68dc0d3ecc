#include "store/win/RegistrySettingsStore.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/WideText.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"

namespace pelmora {

namespace {

constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;

// Every key of the program is below the user's own root: a normal user cannot write
// HKEY_LOCAL_MACHINE on today's Windows.
const HKEY kRoot = HKEY_CURRENT_USER;

// The system's text for a registry result.
std::string errorText(LSTATUS rc) {
  return systemErrorText(static_cast<unsigned long>(rc));
}

// Key names are at most 255 characters.
constexpr DWORD kMaxKeyName = 256;

}  // namespace

// The registry has no transactions: a unit of Atomically keeps the previous state of every value
// it touches and writes them back when the unit fails.
class RegistryUndo {
 public:
  // Notes the value as it is now, before its first change in the unit.
  void remember(HKEY key, const std::wstring& keyPath, const std::wstring& name) {
    for (const Entry& e : m_entries) {
      if (e.keyPath == keyPath && e.name == name) return;
    }
    Entry e{keyPath, name, false, REG_NONE, {}};
    DWORD size = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &e.type, nullptr, &size) == ERROR_SUCCESS) {
      e.data.resize(size);
      e.existed = RegQueryValueExW(key, name.c_str(), nullptr, &e.type, e.data.data(), &size) ==
                  ERROR_SUCCESS;
      e.data.resize(size);
    }
    m_entries.push_back(std::move(e));
  }

  // Puts every remembered value back, the latest first; best effort.
  void restore() const {
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
      HKEY key = nullptr;
      if (RegOpenKeyExW(kRoot, it->keyPath.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
        continue;
      }
      if (it->existed) {
        RegSetValueExW(key, it->name.c_str(), 0, it->type, it->data.data(),
                       static_cast<DWORD>(it->data.size()));
      } else {
        RegDeleteValueW(key, it->name.c_str());
      }
      RegCloseKey(key);
    }
  }

 private:
  struct Entry {
    std::wstring keyPath;
    std::wstring name;
    bool existed;
    DWORD type;
    std::vector<BYTE> data;
  };
  std::vector<Entry> m_entries;
};

namespace {

class RegistryKey final : public StoreKey {
 public:
  RegistryKey(HKEY key, std::string path, std::wstring systemPath, RegistryUndo* undo)
      : m_key(key), m_path(std::move(path)), m_systemPath(std::move(systemPath)), m_undo(undo) {}
  ~RegistryKey() override { CloseKey(); }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  void CloseKey() override {
    if (m_key != nullptr) RegCloseKey(m_key);
    m_key = nullptr;
  }

  bool ValueExists(const std::string& name) override {
    const auto [rc, type, size] = query(name);
    return rc == ERROR_SUCCESS;
  }

  std::int32_t ReadInteger(const std::string& name) override {
    const auto [rc, type, size] = query(name);
    if (rc == ERROR_FILE_NOT_FOUND) throw StoreError(m_path, name, "Значение отсутствует.");
    if (rc != ERROR_SUCCESS) failRead(name, rc);
    if (type != REG_DWORD || size != sizeof(DWORD)) {
      throw StoreError(m_path, name, "Ожидалось целое число (REG_DWORD).");
    }
    DWORD value = 0;
    DWORD bytes = sizeof value;
    const LSTATUS read = RegQueryValueExW(m_key, widen(name).c_str(), nullptr, nullptr,
                                          reinterpret_cast<BYTE*>(&value), &bytes);
    if (read != ERROR_SUCCESS) failRead(name, read);
    return static_cast<std::int32_t>(value);
  }

  std::string ReadString(const std::string& name) override {
    const std::wstring wideName = widen(name);
    for (;;) {
      const auto [rc, type, size] = query(name);
      if (rc == ERROR_FILE_NOT_FOUND) return {};
      if (rc != ERROR_SUCCESS) failRead(name, rc);
      if (type != REG_SZ) throw StoreError(m_path, name, "Ожидалась строка (REG_SZ).");
      std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
      DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
      DWORD readType = 0;
      const LSTATUS read = RegQueryValueExW(m_key, wideName.c_str(), nullptr, &readType,
                                            reinterpret_cast<BYTE*>(text.data()), &bytes);
      if (read == ERROR_MORE_DATA) continue;  // it grew in between
      if (read == ERROR_FILE_NOT_FOUND) return {};
      if (read != ERROR_SUCCESS) failRead(name, read);
      if (readType != REG_SZ) throw StoreError(m_path, name, "Ожидалась строка (REG_SZ).");
      text.resize(bytes / sizeof(wchar_t));
      // The stored terminator, and whatever a careless writer left after it, is not text.
      if (const auto end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
      return narrow(text);
    }
  }

  void WriteInteger(const std::string& name, std::int32_t value) override {
    requireOpen(name);
    remember(name);
    const DWORD data = static_cast<DWORD>(value);
    const LSTATUS rc = RegSetValueExW(m_key, widen(name).c_str(), 0, REG_DWORD,
                                      reinterpret_cast<const BYTE*>(&data), sizeof data);
    if (rc != ERROR_SUCCESS) failWrite(name, rc);
  }

  void WriteString(const std::string& name, const std::string& value) override {
    requireOpen(name);
    remember(name);
    const std::wstring text = widen(value);
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    const LSTATUS rc = RegSetValueExW(m_key, widen(name).c_str(), 0, REG_SZ,
                                      reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    if (rc != ERROR_SUCCESS) failWrite(name, rc);
  }

  void DeleteValue(const std::string& name) override {
    requireOpen(name);
    remember(name);
    const LSTATUS rc = RegDeleteValueW(m_key, widen(name).c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
      throw StoreError(m_path, name, "Не удалось удалить значение: " + errorText(rc));
    }
  }

 private:
  struct Query {
    LSTATUS rc;
    DWORD type;
    DWORD size;
  };

  Query query(const std::string& name) {
    requireOpen(name);
    Query q{ERROR_SUCCESS, REG_NONE, 0};
    q.rc = RegQueryValueExW(m_key, widen(name).c_str(), nullptr, &q.type, nullptr, &q.size);
    return q;
  }

  void remember(const std::string& name) {
    if (m_undo != nullptr) m_undo->remember(m_key, m_systemPath, widen(name));
  }

  void requireOpen(const std::string& name) const {
    if (m_key == nullptr) throw StoreError(m_path, name, "Ключ закрыт.");
  }

  [[noreturn]] void failRead(const std::string& name, LSTATUS rc) const {
    throw StoreError(m_path, name, "Не удалось прочитать значение: " + errorText(rc));
  }

  [[noreturn]] void failWrite(const std::string& name, LSTATUS rc) const {
    throw StoreError(m_path, name, "Запись запрещена: " + errorText(rc));
  }

  HKEY m_key;
  std::string m_path;
  std::wstring m_systemPath;
  RegistryUndo* m_undo;
};

// Removes the subkeys of parent\name one by one, each with its own subkeys, then the key.
LSTATUS deleteTree(HKEY parent, const std::wstring& name) {
  HKEY key = nullptr;
  LSTATUS rc = RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ | KEY_WRITE | DELETE, &key);
  if (rc != ERROR_SUCCESS) return rc;
  for (;;) {
    wchar_t child[kMaxKeyName];
    DWORD length = kMaxKeyName;
    rc = RegEnumKeyExW(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_SUCCESS) rc = deleteTree(key, std::wstring(child, length));
    if (rc != ERROR_SUCCESS) {
      RegCloseKey(key);
      return rc;
    }
  }
  RegCloseKey(key);
  return RegDeleteKeyW(parent, name.c_str());
}

}  // namespace

RegistrySettingsStore::RegistrySettingsStore(std::string prefix) : m_prefix(std::move(prefix)) {}

std::string RegistrySettingsStore::systemPath(const std::string& path) const {
  if (m_prefix.empty()) return path;
  return path.empty() ? m_prefix : m_prefix + "\\" + path;
}

std::unique_ptr<StoreKey> RegistrySettingsStore::OpenKey(const std::string& path, bool create) {
  const std::wstring wide = widen(systemPath(path));
  HKEY key = nullptr;
  LSTATUS rc = create ? RegCreateKeyExW(kRoot, wide.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        kReadWrite, nullptr, &key, nullptr)
                      : RegOpenKeyExW(kRoot, wide.c_str(), 0, kReadWrite, &key);
  // A key the user may not write (a policy) is still read; the writes of such a handle fail as
  // refused writes.
  if (rc == ERROR_ACCESS_DENIED) {
    rc = RegOpenKeyExW(kRoot, wide.c_str(), 0, KEY_READ, &key);
    if (rc == ERROR_FILE_NOT_FOUND && create) rc = ERROR_ACCESS_DENIED;
  }
  if (rc == ERROR_FILE_NOT_FOUND && !create) return nullptr;
  if (rc != ERROR_SUCCESS) {
    throw StoreError(
        path, "",
        (create ? "Не удалось создать ключ: " : "Не удалось открыть ключ: ") + errorText(rc));
  }
  return std::make_unique<RegistryKey>(key, path, wide, m_undo);
}

void RegistrySettingsStore::Atomically(const std::function<void()>& steps) {
  // Inside a unit already: the outer one restores.
  if (m_undo != nullptr) {
    steps();
    return;
  }
  RegistryUndo undo;
  m_undo = &undo;
  try {
    steps();
  } catch (...) {
    m_undo = nullptr;
    undo.restore();
    throw;
  }
  m_undo = nullptr;
}

void RegistrySettingsStore::DeleteKey(const std::string& path) {
  const std::string key = systemPath(path);
  // An empty path would be the root itself.
  if (key.empty()) throw StoreError(path, "", "Не удалось удалить ключ: путь пуст.");
  const LSTATUS rc = deleteTree(kRoot, widen(key));
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
    throw StoreError(path, "", "Не удалось удалить ключ: " + errorText(rc));
  }
}

bool copyMachineSettingsOnce(const std::string& prefix) {
  const auto below = [&prefix](const std::string& path) {
    return widen(prefix.empty() ? path : prefix + "\\" + path);
  };
  const std::wstring program = below(kProgramKey);
  HKEY existing = nullptr;
  if (RegOpenKeyExW(kRoot, program.c_str(), 0, KEY_READ, &existing) == ERROR_SUCCESS) {
    RegCloseKey(existing);
    return false;
  }

  // Where an older installation's settings are, newest first: the user's own VirtualStore copy
  // (a 32-bit program run without administrator rights wrote there, thinking it wrote the
  // machine's key), then the machine's key as a 32-bit and as a 64-bit program sees it.
  struct Source {
    HKEY root;
    std::wstring path;
    REGSAM view;
  };
  const std::wstring company = below("Software\\Kedrun");
  const std::wstring virtualStore = L"Software\\Classes\\VirtualStore\\MACHINE\\";
  const Source sources[] = {
      {HKEY_CURRENT_USER, virtualStore + below("SOFTWARE\\WOW6432Node\\Kedrun"), 0},
      {HKEY_CURRENT_USER, virtualStore + company, 0},
      {HKEY_LOCAL_MACHINE, company, KEY_WOW64_32KEY},
      {HKEY_LOCAL_MACHINE, company, KEY_WOW64_64KEY},
  };
  for (const Source& source : sources) {
    HKEY from = nullptr;
    if (RegOpenKeyExW(source.root, source.path.c_str(), 0, KEY_READ | source.view, &from) !=
        ERROR_SUCCESS) {
      continue;
    }
    HKEY probe = nullptr;
    const bool hasProgram = RegOpenKeyExW(from, L"Pelmora", 0, KEY_READ, &probe) == ERROR_SUCCESS;
    if (probe != nullptr) RegCloseKey(probe);
    if (!hasProgram) {
      RegCloseKey(from);
      continue;
    }
    HKEY to = nullptr;
    LSTATUS rc = RegCreateKeyExW(kRoot, company.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 kReadWrite, nullptr, &to, nullptr);
    if (rc == ERROR_SUCCESS) rc = RegCopyTreeW(from, nullptr, to);
    if (to != nullptr) RegCloseKey(to);
    RegCloseKey(from);
    if (rc != ERROR_SUCCESS) {
      // Half a copy would count as the user's settings: take it back so the next start tries
      // again.
      deleteTree(kRoot, program);
      throw StoreError(kProgramKey, "",
                       "Не удалось перенести настройки прежней установки: " + errorText(rc));
    }
    return true;
  }
  return false;
}

}  // namespace pelmora
