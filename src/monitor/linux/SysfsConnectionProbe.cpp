#include "monitor/linux/SysfsConnectionProbe.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace pelmora {

namespace {

constexpr long kArphrdPpp = 512;
constexpr unsigned long kIffUp = 0x1;
constexpr unsigned long kIffRunning = 0x40;

// Reads a small sysfs attribute into buf; false when it cannot. Plain system calls: this runs
// twice a second and must stay cheap.
bool readAttribute(const std::string& path, char* buf, std::size_t size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  const ssize_t n = ::read(fd, buf, size - 1);
  ::close(fd);
  if (n <= 0) return false;
  buf[n] = '\0';
  return true;
}

// Parses "512\n" (decimal) or "0x1091\n" (hex) as sysfs writes them; false on anything else.
bool parseNumber(const char* text, int base, unsigned long& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtoul(text, &end, base);
  if (end == text || errno != 0) return false;
  while (*end == '\n' || *end == ' ') ++end;
  return *end == '\0';
}

bool isDialUpLinkUp(const std::string& interfaceDir) {
  char buf[64];
  unsigned long type = 0;
  if (!readAttribute(interfaceDir + "/type", buf, sizeof buf) || !parseNumber(buf, 10, type) ||
      type != kArphrdPpp) {
    return false;
  }
  unsigned long flags = 0;
  if (!readAttribute(interfaceDir + "/flags", buf, sizeof buf) || !parseNumber(buf, 16, flags)) {
    return false;
  }
  return (flags & (kIffUp | kIffRunning)) == (kIffUp | kIffRunning);
}

}  // namespace

SysfsConnectionProbe::SysfsConnectionProbe(std::filesystem::path sysfsRoot)
    : m_netDir((sysfsRoot / "class" / "net").string()) {}

std::filesystem::path SysfsConnectionProbe::rootFromEnvironment() {
  const char* root = std::getenv("PELMORA_SYSFS");
  return (root != nullptr && *root != '\0') ? std::filesystem::path(root)
                                            : std::filesystem::path("/sys");
}

bool SysfsConnectionProbe::probe() {
  DIR* dir = ::opendir(m_netDir.c_str());
  if (dir == nullptr) return false;
  bool connected = false;
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    if (isDialUpLinkUp(m_netDir + "/" + entry->d_name)) {
      connected = true;
      break;
    }
  }
  ::closedir(dir);
  return connected;
}

}  // namespace pelmora
