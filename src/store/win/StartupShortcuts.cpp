#include "store/win/StartupShortcuts.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <utility>

#include "platform/win/WideText.h"
#include "store/StoreError.h"

namespace pelmora {

namespace {

// COM for the calls of one step, whatever the thread had before.
class ComScope {
 public:
  ComScope() : m_started(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (m_started) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool m_started;
};

template <typename T>
void release(T*& p) {
  if (p != nullptr) p->Release();
  p = nullptr;
}

class ShortcutKey final : public StoreKey {
 public:
  ShortcutKey(std::filesystem::path folder, std::string path)
      : m_folder(std::move(folder)), m_path(std::move(path)) {}

  void CloseKey() override { m_open = false; }
  bool ValueExists(const std::string& name) override {
    checkOpen(name);
    std::error_code ec;
    return std::filesystem::is_regular_file(file(name), ec);
  }
  std::int32_t ReadInteger(const std::string& name) override {
    checkOpen(name);
    throw StoreError(m_path, name, "Ожидалось целое число (REG_DWORD).");
  }
  std::string ReadString(const std::string& name) override {
    if (!ValueExists(name)) return {};
    ComScope com;
    IShellLinkW* link = nullptr;
    IPersistFile* persisted = nullptr;
    std::string commandLine;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persisted))) &&
        SUCCEEDED(persisted->Load(file(name).c_str(), STGM_READ))) {
      wchar_t target[MAX_PATH] = {};
      wchar_t arguments[4096] = {};
      link->GetPath(target, MAX_PATH, nullptr, 0);
      link->GetArguments(arguments, 4096);
      commandLine.append(1, '"').append(narrow(target)).append(1, '"');
      if (arguments[0] != 0) commandLine.append(1, ' ').append(narrow(arguments));
    }
    release(persisted);
    release(link);
    return commandLine;
  }
  void WriteInteger(const std::string& name, std::int32_t) override {
    checkOpen(name);
    throw StoreError(m_path, name, "Ожидалась строка (REG_SZ).");
  }
  void WriteString(const std::string& name, const std::string& value) override {
    checkOpen(name);
    // The value is the quoted program and its arguments, as the Run key holds it.
    std::string program = value;
    std::string arguments;
    if (!value.empty() && value.front() == '"') {
      const std::size_t end = value.find('"', 1);
      program = value.substr(1, end == std::string::npos ? std::string::npos : end - 1);
      if (end != std::string::npos) arguments = value.substr(end + 1);
      arguments.erase(0, arguments.find_first_not_of(' '));
    }
    ComScope com;
    std::error_code ec;
    std::filesystem::create_directories(m_folder, ec);
    IShellLinkW* link = nullptr;
    IPersistFile* persisted = nullptr;
    const bool saved =
        !program.empty() &&
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->SetPath(widen(program).c_str())) &&
        SUCCEEDED(link->SetArguments(widen(arguments).c_str())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persisted))) &&
        SUCCEEDED(persisted->Save(file(name).c_str(), TRUE));
    release(persisted);
    release(link);
    if (!saved) throw StoreError(m_path, name, "Не удалось создать ярлык в папке автозагрузки.");
  }
  void DeleteValue(const std::string& name) override {
    checkOpen(name);
    std::error_code ec;
    std::filesystem::remove(file(name), ec);
  }

 private:
  void checkOpen(const std::string& name) const {
    if (!m_open) throw StoreError(m_path, name, "Ключ закрыт.");
  }
  std::filesystem::path file(const std::string& name) const {
    return m_folder / (widen(name) + L".lnk");
  }

  std::filesystem::path m_folder;
  std::string m_path;
  bool m_open = true;
};

}  // namespace

StartupShortcuts::StartupShortcuts(std::filesystem::path folder) : m_folder(std::move(folder)) {}

std::filesystem::path StartupShortcuts::defaultFolder() {
  PWSTR known = nullptr;
  std::filesystem::path folder;
  if (SHGetKnownFolderPath(FOLDERID_Startup, 0, nullptr, &known) == S_OK) folder = known;
  CoTaskMemFree(known);
  return folder;
}

std::unique_ptr<StoreKey> StartupShortcuts::open(const std::string& keyPath) const {
  return std::make_unique<ShortcutKey>(m_folder, keyPath);
}

}  // namespace pelmora
