// The store work of one disconnect: the program key opened, the statistics and the account
// read and written back, the key closed (one committed transaction). Run against databases of
// different sizes: the time and the bytes written per disconnect must not grow with the file.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "store/linux/SqliteSettingsStore.h"
#include "store/StoreKeys.h"

namespace {

using pelmora::SqliteSettingsStore;

// Bytes this process has handed to write calls so far.
long long bytesWritten() {
  std::ifstream io("/proc/self/io");
  std::string field;
  long long value = 0;
  while (io >> field >> value) {
    if (field == "wchar:") return value;
  }
  return 0;
}

class Folder {
 public:
  Folder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "pelmora-bench-XXXXXX").string();
    m_path = mkdtemp(pattern.data());
  }
  ~Folder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  const std::filesystem::path& path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

void fill(SqliteSettingsStore& store, int extraValues) {
  auto key = store.OpenKey(pelmora::kProgramKey, true);
  for (const char* name : {"Seconds", "SecondsD", "SecondsW", "SecondsM", "SecondsT", "NumberD",
                           "NumberW", "NumberM", "NumberT", "Trunc", "Zero", "SecondsPlus"}) {
    key->WriteInteger(name, 0);
  }
  for (const char* name : {"Cents", "CentsD", "CentsW", "CentsM", "CentsT", "Account"}) {
    key->WriteString(name, "0");
  }
  key->CloseKey();
  // Ballast in other keys, so the file is much larger than one disconnect's pages.
  for (int k = 0; k < extraValues / 1000; ++k) {
    auto other = store.OpenKey("Software\\Ballast\\" + std::to_string(k), true);
    for (int v = 0; v < 1000; ++v) {
      other->WriteString("Value" + std::to_string(v), std::string(64, 'x'));
    }
  }
}

void oneDisconnect(SqliteSettingsStore& store, int n) {
  auto key = store.OpenKey(pelmora::kProgramKey, true);
  // Rounding and the zero-cost threshold are read first, as the closing step does.
  const int trunc = key->ReadInteger("Trunc");
  const int zero = key->ReadInteger("Zero");
  const int seconds = trunc == 1 ? 120 : zero + 60 + n % 60;
  key->WriteInteger("Seconds", seconds);
  key->WriteString("Cents", "12,5");
  for (const char* name : {"SecondsD", "SecondsW", "SecondsM", "SecondsT"}) {
    key->WriteInteger(name, key->ReadInteger(name) + seconds);
  }
  for (const char* name : {"CentsD", "CentsW", "CentsM", "CentsT"}) {
    key->WriteString(name, key->ReadString(name) + "1");
  }
  key->WriteString("Account", key->ReadString("Account").substr(0, 8) + "5");
  for (const char* name : {"NumberD", "NumberW", "NumberM", "NumberT"}) {
    key->WriteInteger(name, key->ReadInteger(name) + 1);
  }
  key->CloseKey();
}

void BM_Disconnect(benchmark::State& state) {
  Folder folder;
  SqliteSettingsStore store(folder.path() / "registry.db", folder.path() / "autostart");
  fill(store, static_cast<int>(state.range(0)));
  const long long before = bytesWritten();
  int n = 0;
  for (auto _ : state) oneDisconnect(store, n++);
  state.counters["bytes_per_disconnect"] =
      benchmark::Counter(static_cast<double>(bytesWritten() - before) / n);
  state.counters["db_bytes"] = benchmark::Counter(
      static_cast<double>(std::filesystem::file_size(folder.path() / "registry.db")));
}
BENCHMARK(BM_Disconnect)
    ->Arg(0)
    ->Arg(20000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
