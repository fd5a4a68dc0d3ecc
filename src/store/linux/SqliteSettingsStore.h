#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "store/linux/AutostartFolder.h"
#include "store/SettingsStore.h"

namespace pelmora {

class SqliteConnection;

// The settings store on Linux: one SQLite database file (tables keys and entries, see
// README-schema.md) for every key but the Run key, which is the desktop's autostart folder.
//
// One connection per store object. The first handle that opens starts a deferred transaction
// and the last one that closes commits it, so the handles of one event share one transaction; a
// handle destroyed without CloseKey (an error cut its event short) still commits what was
// written. The journal is WAL: reads never wait for another process, and a write waits for its
// lock only a fifth of a second before it fails with StoreBusy. Key and value names compare without
// regard to ASCII case only: SQLite's NOCASE folds no other letters.
//
// ReadOnly is for other programs that look at the store: the file is opened read-only, nothing
// is set up in it (no journal mode, no tables), and a file whose folder cannot be written, or a
// WAL database no process has open, is read as immutable, so that not even SQLite's -wal and
// -shm companions are made. Every write is then a StoreError.
class SqliteSettingsStore final : public SettingsStore {
 public:
  enum class Access { ReadWrite, ReadOnly };

  SqliteSettingsStore(std::filesystem::path database, std::filesystem::path autostartFolder,
                      Access access = Access::ReadWrite);
  ~SqliteSettingsStore() override;

  // The database is opened at the first call; a file that cannot be opened or is not a
  // database is a StoreError (and is left as it is), and the next call tries again.
  std::unique_ptr<StoreKey> OpenKey(const std::string& path, bool create) override;
  // Removes the key and its subkeys from the database; never touches the autostart folder.
  void DeleteKey(const std::string& path) override;
  // A transaction that takes the write lock at once; a savepoint inside an open handle's.
  void Atomically(const std::function<void()>& steps) override;

 private:
  SqliteConnection& connection();

  std::filesystem::path m_database;
  AutostartFolder m_autostart;
  Access m_access;
  std::shared_ptr<SqliteConnection> m_connection;
};

}  // namespace pelmora
