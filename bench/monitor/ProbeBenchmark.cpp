// What one look at the dial-up link costs: it runs twice a second on the user-interface thread.

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include <benchmark/benchmark.h>

#include "monitor/linux/SysfsConnectionProbe.h"

namespace {

namespace fs = std::filesystem;

// A machine with loopback, wired, wireless and docker interfaces, and optionally a PPP link.
fs::path makeTree(bool pppUp) {
  const fs::path root =
      fs::temp_directory_path() /
      ("pelmora-bench-sysfs-" + std::to_string(::getpid()) + (pppUp ? "-up" : "-down"));
  const auto add = [&](const std::string& name, const char* type, const char* flags) {
    const fs::path dir = root / "class" / "net" / name;
    fs::create_directories(dir);
    std::ofstream(dir / "type") << type << "\n";
    std::ofstream(dir / "flags") << flags << "\n";
  };
  add("lo", "772", "0x9");
  add("eth0", "1", "0x1003");
  add("wlan0", "1", "0x1003");
  add("docker0", "1", "0x1003");
  add("ppp0", "512", pppUp ? "0x10d1" : "0x1090");
  return root;
}

void BM_ProbeFakeTree(benchmark::State& state) {
  const fs::path root = makeTree(state.range(0) != 0);
  pelmora::SysfsConnectionProbe probe(root);
  for (auto _ : state) benchmark::DoNotOptimize(probe.probe());
  fs::remove_all(root);
}
BENCHMARK(BM_ProbeFakeTree)->Arg(0)->Arg(1)->ArgName("pppUp");

void BM_ProbeThisMachine(benchmark::State& state) {
  pelmora::SysfsConnectionProbe probe("/sys");
  for (auto _ : state) benchmark::DoNotOptimize(probe.probe());
}
BENCHMARK(BM_ProbeThisMachine);

}  // namespace
