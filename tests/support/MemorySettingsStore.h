#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <variant>

#include "store/SettingsStore.h"

namespace pelmora::testing {

// An in-memory settings store with the same semantics as the real ones, for fast tests of the
// code above the store. Names compare case-insensitively (ASCII).
class MemorySettingsStore final : public SettingsStore {
 public:
  using Value = std::variant<std::int32_t, std::string>;

  std::unique_ptr<StoreKey> OpenKey(const std::string& path, bool create) override;
  void DeleteKey(const std::string& path) override;
  // Keeps a copy of the whole store and puts it back when the steps throw.
  void Atomically(const std::function<void()>& steps) override;

  // Direct access for tests, bypassing handles.
  bool hasKey(const std::string& path) const;
  std::optional<Value> value(const std::string& path, const std::string& name) const;
  void set(const std::string& path, const std::string& name, Value value);
  void erase(const std::string& path, const std::string& name);
  std::size_t valueCount(const std::string& path) const;
  // Makes every write fail with StoreError, as a read-only registry would.
  void refuseWrites(bool refuse) { m_refuseWrites = refuse; }
  // Makes the writes of one value name fail, as a full disk would at that moment.
  void refuseWritesOf(const std::string& name) { m_refusedName = fold(name); }
  // Makes every unit of Atomically fail with StoreBusy before anything is written.
  void beBusy(bool busy) { m_busy = busy; }
  // Makes every write fail with StoreBusy, as another process holding the lock would.
  void beBusyForWrites(bool busy) { m_writesBusy = busy; }
  // Makes every write fail with StoreFull, as a disk without room would.
  void beFull(bool full) { m_full = full; }

 private:
  friend class MemoryStoreKey;
  static std::string fold(const std::string& s);

  std::set<std::string> m_keys;                                  // folded paths
  std::map<std::string, std::map<std::string, Value>> m_values;  // folded path -> folded name
  bool m_refuseWrites = false;
  std::string m_refusedName;
  bool m_busy = false;
  bool m_writesBusy = false;
  bool m_full = false;
};

}  // namespace pelmora::testing
