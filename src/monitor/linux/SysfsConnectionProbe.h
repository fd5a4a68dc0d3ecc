#pragma once

#include <filesystem>

#include "monitor/ConnectionProbe.h"

namespace pelmora {

// Linux: a dial-up link is a network interface of type 512 (PPP) under <root>/class/net; it is
// up when its flags carry both IFF_UP and IFF_RUNNING. Any number of such links up counts as
// connected. The root is /sys, or $PELMORA_SYSFS so tests can build a fake tree.
class SysfsConnectionProbe final : public ConnectionProbe {
 public:
  explicit SysfsConnectionProbe(std::filesystem::path sysfsRoot);
  static std::filesystem::path rootFromEnvironment();

  bool probe() override;

 private:
  std::string m_netDir;
};

}  // namespace pelmora
