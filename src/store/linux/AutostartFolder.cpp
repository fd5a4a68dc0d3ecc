#include "store/linux/AutostartFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

#include "store/StoreError.h"

namespace pelmora {

namespace {

// The icon of the installed menu entry (hicolor theme).
constexpr const char* kAutostartIcon = "org.example.Pelmora";

constexpr const char* kExpectText = "Ожидалась строка (REG_SZ).";
constexpr const char* kOnlyTexts = "Список автозапуска хранит только строки (REG_SZ).";

std::string trim(const std::string& s) {
  const auto begin = s.find_first_not_of(" \t\r");
  if (begin == std::string::npos) return {};
  const auto end = s.find_last_not_of(" \t\r");
  return s.substr(begin, end - begin + 1);
}

// The "Key=Value" lines of the [Desktop Entry] group, as written in the file.
std::optional<std::string> entryField(const std::filesystem::path& file, const std::string& key,
                                      bool* readable) {
  std::ifstream in(file, std::ios::binary);
  *readable = static_cast<bool>(in);
  if (!in) return std::nullopt;
  std::string line;
  bool inEntry = false;
  while (std::getline(in, line)) {
    line = trim(line);
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    if (!inEntry) continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    if (trim(line.substr(0, eq)) == key) return trim(line.substr(eq + 1));
  }
  return std::nullopt;
}

// Desktop entry values escape the backslash and control characters.
std::string escapeValue(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else if (c == '\r')
      out += "\\r";
    else if (c == ' ' && i == 0)
      out += "\\s";
    else
      out += c;
  }
  return out;
}

std::string unescapeValue(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    const char c = s[++i];
    if (c == 'n')
      out += '\n';
    else if (c == 't')
      out += '\t';
    else if (c == 'r')
      out += '\r';
    else if (c == 's')
      out += ' ';
    else
      out += c;
  }
  return out;
}

bool isQuotedPath(const std::string& s) {
  return s.size() >= 2 && s.front() == '"' && s.back() == '"' && s.find('"', 1) == s.size() - 1;
}

class AutostartKey final : public StoreKey {
 public:
  AutostartKey(const AutostartFolder& folder, std::string keyPath)
      : m_folder(folder), m_keyPath(std::move(keyPath)) {}

  void CloseKey() override { m_open = false; }

  bool ValueExists(const std::string& name) override {
    checkOpen(name);
    const auto file = m_folder.entryFile(name);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return false;
    // An entry the desktop has switched off means autostart is off.
    bool readable = false;
    if (entryField(file, "Hidden", &readable).value_or("") == "true") return false;
    if (entryField(file, "X-GNOME-Autostart-enabled", &readable).value_or("") == "false") {
      return false;
    }
    return true;
  }

  std::int32_t ReadInteger(const std::string& name) override {
    if (!ValueExists(name)) throw StoreError(m_keyPath, name, "Значение отсутствует.");
    throw StoreError(m_keyPath, name, "Ожидалось целое число (REG_DWORD).");
  }

  std::string ReadString(const std::string& name) override {
    if (!ValueExists(name)) return {};
    bool readable = false;
    const auto exec = entryField(m_folder.entryFile(name), "Exec", &readable);
    if (!readable) {
      throw StoreError(m_keyPath, name,
                       "Не удалось прочитать файл " + m_folder.entryFile(name).string() + ".");
    }
    if (!exec) throw StoreError(m_keyPath, name, kExpectText);
    return commandLineOf(*exec);
  }

  void WriteInteger(const std::string& name, std::int32_t) override {
    checkOpen(name);
    throw StoreError(m_keyPath, name, kOnlyTexts);
  }

  void WriteString(const std::string& name, const std::string& value) override {
    checkOpen(name);
    const auto file = m_folder.entryFile(name);
    std::error_code ec;
    std::filesystem::create_directories(m_folder.folder(), ec);
    // Written beside the entry and renamed over it, so a half-written entry never starts.
    auto temporary = file;
    temporary += ".new";
    {
      std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
      out << "[Desktop Entry]\n"
          << "Type=Application\n"
          << "Name=" << escapeValue(name) << "\n"
          << "Exec=" << execLineFor(value) << "\n";
      // The session skips the entry once the program is gone (the package removed), and shows
      // the program's icon in its list of startup programs.
      if (isQuotedPath(value)) {
        out << "TryExec=" << escapeValue(value.substr(1, value.size() - 2)) << "\n";
      }
      out << "Icon=" << kAutostartIcon << "\n"
          << "Terminal=false\n"
          << "X-GNOME-Autostart-enabled=true\n";
      out.close();
      if (!out) refused(name, temporary, std::strerror(errno));
    }
    std::filesystem::rename(temporary, file, ec);
    if (ec) {
      std::filesystem::remove(temporary, ec);
      refused(name, file, ec.message());
    }
  }

  void DeleteValue(const std::string& name) override {
    checkOpen(name);
    const auto file = m_folder.entryFile(name);
    std::error_code ec;
    std::filesystem::remove(file, ec);
    if (ec) {
      throw StoreError(m_keyPath, name,
                       "Не удалось удалить файл " + file.string() + ": " + ec.message() + ".");
    }
  }

 private:
  void checkOpen(const std::string& name) const {
    if (!m_open) throw StoreError(m_keyPath, name, "Ключ закрыт.");
  }

  [[noreturn]] void refused(const std::string& name, const std::filesystem::path& file,
                            const std::string& reason) const {
    throw StoreError(
        m_keyPath, name,
        "Запись запрещена: не удалось записать файл " + file.string() + " (" + reason + ").");
  }

  AutostartFolder m_folder;
  std::string m_keyPath;
  bool m_open = true;
};

}  // namespace

std::string execLineFor(const std::string& commandLine) {
  std::string exec;
  if (isQuotedPath(commandLine)) {
    // Inside quotes the desktop's command line syntax reserves these four characters.
    exec += '"';
    for (std::size_t i = 1; i + 1 < commandLine.size(); ++i) {
      const char c = commandLine[i];
      if (c == '"' || c == '`' || c == '$' || c == '\\') exec += '\\';
      exec += c;
    }
    exec += '"';
  } else {
    exec = commandLine;
  }
  // A lone % would start a field code.
  std::string percent;
  for (char c : exec) {
    percent += c;
    if (c == '%') percent += '%';
  }
  return escapeValue(percent);
}

std::string commandLineOf(const std::string& execLine) {
  const std::string unescaped = unescapeValue(execLine);
  std::string exec;
  for (std::size_t i = 0; i < unescaped.size(); ++i) {
    exec += unescaped[i];
    if (unescaped[i] == '%' && i + 1 < unescaped.size() && unescaped[i + 1] == '%') ++i;
  }
  if (exec.size() < 2 || exec.front() != '"' || exec.back() != '"') return exec;
  std::string out = "\"";
  for (std::size_t i = 1; i + 1 < exec.size(); ++i) {
    if (exec[i] == '\\' && i + 2 < exec.size()) ++i;
    out += exec[i];
  }
  return out + '"';
}

AutostartFolder::AutostartFolder(std::filesystem::path folder) : m_folder(std::move(folder)) {}

std::filesystem::path AutostartFolder::defaultFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return std::filesystem::path(config) / "autostart";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home != nullptr ? home : "") / ".config" / "autostart";
}

std::unique_ptr<StoreKey> AutostartFolder::open(const std::string& keyPath) const {
  return std::make_unique<AutostartKey>(*this, keyPath);
}

std::filesystem::path AutostartFolder::entryFile(const std::string& name) const {
  static const char* kHex = "0123456789abcdef";
  std::string file;
  for (const char signedChar : name) {
    const auto c = static_cast<unsigned char>(signedChar);
    if (c >= 'A' && c <= 'Z')
      file += static_cast<char>(c - 'A' + 'a');
    else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.') {
      file += static_cast<char>(c);
    } else if (c == ' ') {
      file += '-';
    } else {
      file += '_';
      file += kHex[c >> 4];
      file += kHex[c & 0xF];
    }
  }
  return m_folder / (file + ".desktop");
}

}  // namespace pelmora
