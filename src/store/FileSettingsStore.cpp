#include "store/FileSettingsStore.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cerrno>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "store/TextFile.h"

namespace pelmora {

namespace {

constexpr const char* kDword = "REG_DWORD";
constexpr const char* kSz = "REG_SZ";

std::string escape(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '%':
        out += "%25";
        break;
      case '\t':
        out += "%09";
        break;
      case '\r':
        out += "%0D";
        break;
      case '\n':
        out += "%0A";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const std::string code = text.substr(i + 1, 2);
      if (code == "25" || code == "09" || code == "0D" || code == "0A") {
        out += static_cast<char>(std::stoi(code, nullptr, 16));
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
    out.push_back(unescape(line.substr(start, tab - start)));
  }
  out.push_back(unescape(line.substr(start)));
  return out;
}

bool isRunKey(const std::string& folded) {
  std::string run = kRunKey;
  std::transform(run.begin(), run.end(), run.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return folded == run;
}

}  // namespace

class FileStoreKey final : public StoreKey {
 public:
  FileStoreKey(FileSettingsStore& store, std::string folded)
      : m_store(store), m_folded(std::move(folded)), m_path(store.m_tree[m_folded].path) {}
  ~FileStoreKey() override {
    // A handle dropped without CloseKey: the failed write is already undone in memory, and a
    // destructor has nobody to tell.
    try {
      close();
    } catch (const StoreError&) {
    }
  }

  void CloseKey() override { close(); }
  bool ValueExists(const std::string& name) override { return find(name) != nullptr; }

  std::int32_t ReadInteger(const std::string& name) override {
    const FileSettingsStore::Value* v = find(name);
    if (v == nullptr) throw StoreError(m_path, name, "Значение отсутствует.");
    if (!std::holds_alternative<std::int32_t>(*v)) {
      throw StoreError(m_path, name, "Ожидалось целое число (REG_DWORD).");
    }
    return std::get<std::int32_t>(*v);
  }
  std::string ReadString(const std::string& name) override {
    const FileSettingsStore::Value* v = find(name);
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
    auto key = m_store.m_tree.find(m_folded);
    if (key != m_store.m_tree.end() && key->second.values.erase(FileSettingsStore::fold(name))) {
      m_store.m_dirty = true;
    }
  }

 private:
  void checkOpen(const std::string& name) const {
    if (!m_open) throw StoreError(m_path, name, "Ключ закрыт.");
  }
  const FileSettingsStore::Value* find(const std::string& name) const {
    checkOpen(name);
    const auto key = m_store.m_tree.find(m_folded);
    if (key == m_store.m_tree.end()) return nullptr;
    const auto entry = key->second.values.find(FileSettingsStore::fold(name));
    return entry == key->second.values.end() ? nullptr : &entry->second.value;
  }
  void write(const std::string& name, FileSettingsStore::Value value) {
    checkOpen(name);
    // A key deleted while this handle was open comes back, as the registry's would not; the
    // program never does that.
    FileSettingsStore::Key& key = m_store.m_tree[m_folded];
    if (key.path.empty()) key.path = m_path;
    auto& entry = key.values[FileSettingsStore::fold(name)];
    if (entry.name.empty()) entry.name = name;
    entry.value = std::move(value);
    m_store.m_dirty = true;
  }
  void close() {
    if (!m_open) return;
    m_open = false;
    m_store.persist();
  }

  FileSettingsStore& m_store;
  std::string m_folded;
  std::string m_path;
  bool m_open = true;
};

FileSettingsStore::FileSettingsStore(std::filesystem::path file, RunKeyOpener runKeys)
    : m_file(std::move(file)), m_runKeys(std::move(runKeys)) {
  load();
}

std::string FileSettingsStore::fold(const std::string& text) {
  std::string out = text;
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

void FileSettingsStore::load() {
  std::error_code ec;
  if (!std::filesystem::exists(m_file, ec)) return;
  std::ifstream in(m_file, std::ios::binary);
  std::string line;
  if (!in || !std::getline(in, line) || (line != kHeader && line != std::string(kHeader) + "\r")) {
    throw StoreError(m_file.string(), "",
                     "Файл настроек не удалось прочитать или он не является файлом настроек "
                     "Pelmora. Файл оставлен без изменений.");
  }
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const std::vector<std::string> f = fields(line);
    Key& key = m_tree[fold(f[0])];
    if (key.path.empty()) key.path = f[0];
    if (f.size() == 1) continue;
    bool fine = f.size() == 4 && !f[1].empty();
    Value value;
    if (fine && f[2] == kDword) {
      try {
        std::size_t used = 0;
        const long long n = std::stoll(f[3], &used);
        fine = used == f[3].size() && n >= INT32_MIN && n <= INT32_MAX;
        value = static_cast<std::int32_t>(n);
      } catch (const std::exception&) {
        fine = false;
      }
    } else if (fine && f[2] == kSz) {
      value = f[3];
    } else {
      fine = false;
    }
    if (!fine) {
      throw StoreError(m_file.string(), f.size() > 1 ? f[1] : "",
                       "Строка файла настроек повреждена. Файл оставлен без изменений.");
    }
    key.values[fold(f[1])] = Entry{f[1], std::move(value)};
  }
  m_saved = m_tree;
}

void FileSettingsStore::persist() {
  if (!m_dirty || m_units > 0) return;
  std::ostringstream out;
  out << kHeader << "\r\n";
  for (const auto& [folded, key] : m_tree) {
    out << escape(key.path) << "\r\n";
    for (const auto& [name, entry] : key.values) {
      const bool integer = std::holds_alternative<std::int32_t>(entry.value);
      out << escape(key.path) << '\t' << escape(entry.name) << '\t' << (integer ? kDword : kSz)
          << '\t'
          << (integer ? std::to_string(std::get<std::int32_t>(entry.value))
                      : escape(std::get<std::string>(entry.value)))
          << "\r\n";
    }
  }
  if (!replaceFile(m_file, out.str())) {
    const std::error_code reason = lastFileError();
    m_tree = m_saved;
    m_dirty = false;
    const std::string text = "Не удалось записать файл настроек: " + reason.message() + ".";
    if (reason == std::errc::no_space_on_device) throw StoreFull(m_file.string(), "", text);
    throw StoreError(m_file.string(), "", text);
  }
  m_saved = m_tree;
  m_dirty = false;
}

std::unique_ptr<StoreKey> FileSettingsStore::OpenKey(const std::string& path, bool create) {
  const std::string folded = fold(path);
  if (m_runKeys && isRunKey(folded)) return m_runKeys(path);
  if (!m_tree.count(folded)) {
    if (!create) return nullptr;
    // Parents come into existence with the key, as in the registry.
    std::size_t pos = 0;
    while ((pos = path.find('\\', pos + 1)) != std::string::npos) {
      Key& parent = m_tree[fold(path.substr(0, pos))];
      if (parent.path.empty()) parent.path = path.substr(0, pos);
    }
    m_tree[folded].path = path;
    m_dirty = true;
  }
  return std::make_unique<FileStoreKey>(*this, folded);
}

void FileSettingsStore::DeleteKey(const std::string& path) {
  const std::string folded = fold(path);
  if (m_runKeys && isRunKey(folded)) return;  // the system's list is never removed whole
  const std::string below = folded + "\\";
  for (auto it = m_tree.begin(); it != m_tree.end();) {
    if (it->first == folded || it->first.rfind(below, 0) == 0) {
      it = m_tree.erase(it);
      m_dirty = true;
    } else {
      ++it;
    }
  }
  persist();
}

void FileSettingsStore::Atomically(const std::function<void()>& steps) {
  const Tree before = m_tree;
  const bool dirtyBefore = m_dirty;
  ++m_units;
  try {
    steps();
  } catch (...) {
    --m_units;
    m_tree = before;
    m_dirty = dirtyBefore;
    throw;
  }
  --m_units;
  persist();
}

}  // namespace pelmora
