#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <variant>

#include "store/SettingsStore.h"

namespace pelmora {

// The settings of a portable copy in one text file beside it, so that the copy touches no
// settings of the machine it runs on. Read whole when the store is made; every closed handle,
// deleted key and unit of Atomically replaces the file in one durable step, so a crash or a
// power cut leaves the previous settings or the new ones. A write that cannot be made (a full
// disk: StoreFull; else StoreError) undoes itself in memory too.
//
// One line a key (its path alone) and one a value: key, name, REG_DWORD or REG_SZ, data, parted
// by tabs, in UTF-8; '%', tabs and line ends inside them as %25, %09, %0D, %0A.
class FileSettingsStore final : public SettingsStore {
 public:
  using Value = std::variant<std::int32_t, std::string>;

  // Opens the autostart key (the Run key) where the system keeps its own list.
  using RunKeyOpener = std::function<std::unique_ptr<StoreKey>(const std::string& path)>;

  // StoreError when the file exists and cannot be read or is no settings file: it is never
  // written over then. `runKeys`, when given, opens the autostart key; else the file keeps it.
  explicit FileSettingsStore(std::filesystem::path file, RunKeyOpener runKeys = {});

  std::unique_ptr<StoreKey> OpenKey(const std::string& path, bool create) override;
  void DeleteKey(const std::string& path) override;
  void Atomically(const std::function<void()>& steps) override;

  // The file's first line.
  static constexpr const char* kHeader = "Pelmora settings 1";

 private:
  friend class FileStoreKey;
  struct Entry {
    std::string name;  // as first written
    Value value;
  };
  struct Key {
    std::string path;                     // as first created
    std::map<std::string, Entry> values;  // by folded name
  };
  using Tree = std::map<std::string, Key>;  // by folded path

  static std::string fold(const std::string& text);
  void load();
  // Writes the tree to the file when it changed and no unit is open; undoes the change when it
  // cannot be written.
  void persist();

  std::filesystem::path m_file;
  RunKeyOpener m_runKeys;
  Tree m_tree;
  Tree m_saved;  // what the file holds
  bool m_dirty = false;
  int m_units = 0;
};

}  // namespace pelmora
