#include "store/linux/SqliteSettingsStore.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "store/StoreError.h"
#include "store/StoreKeys.h"

namespace pelmora {

namespace {

// How long a write waits for another process's transaction before it gives up with StoreBusy:
// short, because it waits on the user-interface thread. Reads never wait (WAL).
constexpr int kBusyTimeoutMs = 200;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS keys ("
    "  path TEXT PRIMARY KEY COLLATE NOCASE);"
    "CREATE TABLE IF NOT EXISTS entries ("
    "  key TEXT NOT NULL COLLATE NOCASE,"
    "  name TEXT NOT NULL COLLATE NOCASE,"
    "  type TEXT NOT NULL CHECK (type IN ('REG_DWORD','REG_SZ')),"
    "  data NOT NULL,"
    "  PRIMARY KEY (key, name));";

constexpr const char* kFindKey = "SELECT path FROM keys WHERE path = ?1";
constexpr const char* kAddKey = "INSERT OR IGNORE INTO keys(path) VALUES (?1)";
constexpr const char* kFindEntry = "SELECT type, data FROM entries WHERE key = ?1 AND name = ?2";
constexpr const char* kWriteEntry =
    "INSERT INTO entries(key, name, type, data) VALUES (?1, ?2, ?3, ?4) "
    "ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, data = excluded.data";
constexpr const char* kDeleteEntry = "DELETE FROM entries WHERE key = ?1 AND name = ?2";
// A key and everything below it: the path itself or anything starting with path + '\'.
constexpr const char* kDeleteKeyEntries =
    "DELETE FROM entries WHERE key = ?1 "
    "OR substr(key, 1, length(?1) + 1) COLLATE NOCASE = ?1 || '\\'";
constexpr const char* kDeleteKeys =
    "DELETE FROM keys WHERE path = ?1 "
    "OR substr(path, 1, length(?1) + 1) COLLATE NOCASE = ?1 || '\\'";

constexpr const char* kDword = "REG_DWORD";
constexpr const char* kSz = "REG_SZ";

bool sameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// A URI path: '?', '#' and '%' are the URI's own.
std::string uriPath(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : path) {
    if (c == '?' || c == '#' || c == '%') {
      out += '%';
      out += kHex[static_cast<unsigned char>(c) >> 4];
      out += kHex[static_cast<unsigned char>(c) & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

// How a reader opens the file. A read-only connection to a WAL database makes the -wal and -shm
// files when they are missing, and it cannot open one at all in a folder it cannot write; when
// there is no -wal file, nothing is pending in one and no process has the database open, so the
// file is read as it stands (immutable). A -wal file left beside it is read with the database.
std::string readOnlyUri(const std::filesystem::path& file) {
  std::string uri = "file:" + uriPath(std::filesystem::absolute(file).string()) + "?mode=ro";
  std::error_code ec;
  std::filesystem::path wal = file;
  wal += "-wal";
  const bool walPresent = std::filesystem::exists(wal, ec);
  const bool folderWritable =
      ::access(std::filesystem::absolute(file).parent_path().c_str(), W_OK) == 0;
  bool walMode = false;
  if (std::FILE* f = std::fopen(file.c_str(), "rb")) {
    unsigned char header[20] = {};
    walMode = std::fread(header, 1, sizeof header, f) == sizeof header && header[18] == 2;
    std::fclose(f);
  }
  if (!folderWritable || (walMode && !walPresent)) {
    uri += "&immutable=1";
  } else if (std::filesystem::exists(std::filesystem::path(file).concat("-shm"), ec)) {
    // The shared index is read, never written: SQLite keeps its own copy of it in memory where
    // it would have to update it, so a reader leaves every file of the store as it was.
    uri += "&readonly_shm=1";
  }
  return uri;
}

}  // namespace

// One open database with its prepared statements and the transaction its handles share.
class SqliteConnection {
 public:
  SqliteConnection(const std::filesystem::path& file, bool readOnly) : m_file(file.string()) {
    const int rc = readOnly ? sqlite3_open_v2(readOnlyUri(file).c_str(), &m_db,
                                              SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr)
                            : sqlite3_open_v2(m_file.c_str(), &m_db,
                                              SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) failOpen("не удалось открыть файл");
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    if (readOnly) {
      // A reader never checkpoints another process's journal into the file.
      sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    }
    // The first statement reads the file's header: a file that is not a database stops here,
    // before anything is written to it.
    if (readOnly ? sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr,
                                nullptr) != SQLITE_OK
                 : (sqlite3_exec(m_db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr) !=
                        SQLITE_OK ||
                    sqlite3_exec(m_db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr) !=
                        SQLITE_OK ||
                    sqlite3_exec(m_db, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK)) {
      failOpen((sqlite3_errcode(m_db) & 0xFF) == SQLITE_NOTADB ? "файл не является базой настроек"
                                                               : "не удалось подготовить файл");
    }
    for (const char* sql : {kFindKey, kAddKey, kFindEntry, kWriteEntry, kDeleteEntry,
                            kDeleteKeyEntries, kDeleteKeys}) {
      sqlite3_stmt* stmt = nullptr;
      if (sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) !=
          SQLITE_OK) {
        failOpen("таблицы keys и entries устроены иначе");
      }
      m_statements[sql] = stmt;
    }
  }

  ~SqliteConnection() { closeDatabase(); }
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  // A prepared statement, reset, with its arguments bound as texts or integers.
  class Query {
   public:
    Query(SqliteConnection& c, const char* sql) : m_stmt(c.m_statements.at(sql)) {}
    ~Query() {
      sqlite3_reset(m_stmt);
      sqlite3_clear_bindings(m_stmt);
    }
    Query& text(int index, const std::string& value) {
      sqlite3_bind_text(m_stmt, index, value.data(), static_cast<int>(value.size()),
                        SQLITE_TRANSIENT);
      return *this;
    }
    Query& integer(int index, std::int32_t value) {
      sqlite3_bind_int(m_stmt, index, value);
      return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step() { return sqlite3_step(m_stmt); }
    sqlite3_stmt* get() const { return m_stmt; }

   private:
    sqlite3_stmt* m_stmt;
  };

  // The first handle starts the transaction. It is deferred: reading takes a snapshot and no
  // lock, and only the first write asks for the write lock.
  void enter(const std::string& key) {
    if (m_handles == 0 && sqlite3_get_autocommit(m_db)) {
      if (sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) {
        throw StoreError(key, "", failure("База настроек недоступна"));
      }
    }
    ++m_handles;
  }

  // The last handle commits; what was written stays written.
  void leave(const std::string& key) {
    if (m_handles == 0 || --m_handles != 0) return;
    commit(key);
  }

  // One unit of writes (see SettingsStore::Atomically). Inside an open transaction it is a
  // savepoint of it; otherwise a transaction of its own that takes the write lock at once.
  void Atomically(const std::function<void()>& steps) {
    const bool nested = m_handles > 0 || !sqlite3_get_autocommit(m_db);
    if (nested) {
      execOrThrow("SAVEPOINT unit", "Не удалось начать запись");
    } else {
      execOrThrow("BEGIN IMMEDIATE", "База настроек занята или недоступна");
    }
    ++m_handles;
    try {
      steps();
    } catch (...) {
      --m_handles;
      // A failed statement may already have ended the transaction (a full disk does).
      if (nested) {
        sqlite3_exec(m_db, "ROLLBACK TO unit; RELEASE unit", nullptr, nullptr, nullptr);
      } else if (!sqlite3_get_autocommit(m_db)) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
      }
      throw;
    }
    --m_handles;
    if (nested) {
      execOrThrow("RELEASE unit", "Не удалось сохранить изменения");
    } else {
      commit("");
    }
  }

  // A write refused because another process holds the lock is StoreBusy, anything else a
  // StoreError.
  [[noreturn]] void fail(const std::string& key, const std::string& name, const std::string& what) {
    const std::string reason = failure(what);
    if (isBusy()) throw StoreBusy(key, name, reason);
    if (isFull()) throw StoreFull(key, name, reason);
    throw StoreError(key, name, reason);
  }

  std::string failure(const std::string& what) const {
    return what + " (" + m_file + "): " + sqlite3_errmsg(m_db) + ".";
  }

 private:
  [[noreturn]] void failOpen(const char* what) {
    const std::string reason = std::string(sqlite3_errmsg(m_db));
    closeDatabase();
    throw StoreError(m_file, "",
                     std::string("Не удалось открыть базу настроек: ") + what + " (" + reason +
                         "). Файл оставлен без изменений.");
  }

  void closeDatabase() {
    for (auto& [sql, stmt] : m_statements) sqlite3_finalize(stmt);
    m_statements.clear();
    if (m_db != nullptr) sqlite3_close(m_db);
    m_db = nullptr;
  }

  bool isBusy() const {
    const int code = sqlite3_errcode(m_db) & 0xFF;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
  }

  bool isFull() const { return (sqlite3_errcode(m_db) & 0xFF) == SQLITE_FULL; }

  void execOrThrow(const char* sql, const char* what) {
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail("", "", what);
  }

  void commit(const std::string& key) {
    // An error may already have ended the transaction (SQLite rolls back on a full disk).
    if (sqlite3_get_autocommit(m_db)) return;
    if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
      const std::string reason = failure("Не удалось сохранить изменения");
      const bool busy = isBusy();
      const bool full = isFull();
      sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
      if (busy) throw StoreBusy(key, "", reason);
      if (full) throw StoreFull(key, "", reason);
      throw StoreError(key, "", reason);
    }
  }

  std::string m_file;
  sqlite3* m_db = nullptr;
  std::map<const char*, sqlite3_stmt*> m_statements;
  int m_handles = 0;
};

namespace {

class SqliteStoreKey final : public StoreKey {
 public:
  SqliteStoreKey(std::shared_ptr<SqliteConnection> connection, std::string path)
      : m_connection(std::move(connection)), m_path(std::move(path)) {}

  ~SqliteStoreKey() override {
    try {
      close();
    } catch (const StoreError&) {
      // Unwinding from another error: that one is the one the user sees.
    }
  }

  void CloseKey() override { close(); }

  bool ValueExists(const std::string& name) override {
    checkOpen(name);
    SqliteConnection::Query q(*m_connection, kFindEntry);
    q.text(1, m_path).text(2, name);
    return stepRead(q, name) == SQLITE_ROW;
  }

  std::int32_t ReadInteger(const std::string& name) override {
    checkOpen(name);
    SqliteConnection::Query q(*m_connection, kFindEntry);
    q.text(1, m_path).text(2, name);
    if (stepRead(q, name) != SQLITE_ROW) throw StoreError(m_path, name, "Значение отсутствует.");
    if (!isType(q, kDword)) throw StoreError(m_path, name, "Ожидалось целое число (REG_DWORD).");
    const sqlite3_int64 value = sqlite3_column_int64(q.get(), 1);
    if (sqlite3_column_type(q.get(), 1) != SQLITE_INTEGER ||
        value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
      throw StoreError(m_path, name,
                       "Ожидалось целое число (REG_DWORD) от -2147483648 до 2147483647.");
    }
    return static_cast<std::int32_t>(value);
  }

  std::string ReadString(const std::string& name) override {
    checkOpen(name);
    SqliteConnection::Query q(*m_connection, kFindEntry);
    q.text(1, m_path).text(2, name);
    if (stepRead(q, name) != SQLITE_ROW) return {};
    if (!isType(q, kSz)) throw StoreError(m_path, name, "Ожидалась строка (REG_SZ).");
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(q.get(), 1));
    return std::string(text != nullptr ? text : "",
                       static_cast<std::size_t>(sqlite3_column_bytes(q.get(), 1)));
  }

  void WriteInteger(const std::string& name, std::int32_t value) override {
    checkOpen(name);
    SqliteConnection::Query q(*m_connection, kWriteEntry);
    q.text(1, m_path).text(2, name).text(3, kDword).integer(4, value);
    stepWrite(q, name);
  }

  void WriteString(const std::string& name, const std::string& value) override {
    checkOpen(name);
    SqliteConnection::Query q(*m_connection, kWriteEntry);
    q.text(1, m_path).text(2, name).text(3, kSz).text(4, value);
    stepWrite(q, name);
  }

  void DeleteValue(const std::string& name) override {
    checkOpen(name);
    SqliteConnection::Query q(*m_connection, kDeleteEntry);
    q.text(1, m_path).text(2, name);
    stepWrite(q, name);
  }

 private:
  void checkOpen(const std::string& name) const {
    if (!m_open) throw StoreError(m_path, name, "Ключ закрыт.");
  }
  void close() {
    if (!m_open) return;
    m_open = false;
    m_connection->leave(m_path);
  }
  static bool isType(SqliteConnection::Query& q, const char* type) {
    const auto* stored = reinterpret_cast<const char*>(sqlite3_column_text(q.get(), 0));
    return stored != nullptr && std::string(stored) == type;
  }
  int stepRead(SqliteConnection::Query& q, const std::string& name) {
    const int rc = q.step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
      throw StoreError(m_path, name, m_connection->failure("Не удалось прочитать базу настроек"));
    }
    return rc;
  }
  void stepWrite(SqliteConnection::Query& q, const std::string& name) {
    if (q.step() != SQLITE_DONE) m_connection->fail(m_path, name, "Запись запрещена");
  }

  std::shared_ptr<SqliteConnection> m_connection;
  std::string m_path;
  bool m_open = true;
};

}  // namespace

SqliteSettingsStore::SqliteSettingsStore(std::filesystem::path database,
                                         std::filesystem::path autostartFolder, Access access)
    : m_database(std::move(database)), m_autostart(std::move(autostartFolder)), m_access(access) {}

SqliteSettingsStore::~SqliteSettingsStore() = default;

SqliteConnection& SqliteSettingsStore::connection() {
  if (!m_connection)
    m_connection = std::make_shared<SqliteConnection>(m_database, m_access == Access::ReadOnly);
  return *m_connection;
}

std::unique_ptr<StoreKey> SqliteSettingsStore::OpenKey(const std::string& path, bool create) {
  if (sameName(path, kRunKey)) return m_autostart.open(path);
  SqliteConnection& db = connection();
  db.enter(path);
  // The handle takes over the transaction as soon as it exists; until then leave it here.
  auto handle = std::unique_ptr<SqliteStoreKey>();
  try {
    // Values are kept under the key's spelling as first created. An existing key is only read:
    // opening it takes no write lock.
    const auto find = [&]() -> std::optional<std::string> {
      SqliteConnection::Query q(db, kFindKey);
      const int rc = q.text(1, path).step();
      if (rc == SQLITE_ROW) {
        const auto* stored = reinterpret_cast<const char*>(sqlite3_column_text(q.get(), 0));
        return std::string(stored != nullptr ? stored : path);
      }
      if (rc != SQLITE_DONE) db.fail(path, "", "Не удалось прочитать базу настроек");
      return std::nullopt;
    };
    std::optional<std::string> stored = find();
    if (!stored && create) {
      // Parents come into existence with the key.
      for (std::size_t pos = path.find('\\'); pos != std::string::npos;
           pos = path.find('\\', pos + 1)) {
        SqliteConnection::Query add(db, kAddKey);
        if (add.text(1, path.substr(0, pos)).step() != SQLITE_DONE) {
          db.fail(path, "", "Не удалось создать ключ");
        }
      }
      SqliteConnection::Query add(db, kAddKey);
      if (add.text(1, path).step() != SQLITE_DONE) db.fail(path, "", "Не удалось создать ключ");
      stored = find();
    }
    if (stored) handle = std::make_unique<SqliteStoreKey>(m_connection, *stored);
  } catch (...) {
    db.leave(path);
    throw;
  }
  if (!handle) db.leave(path);
  return handle;
}

void SqliteSettingsStore::DeleteKey(const std::string& path) {
  SqliteConnection& db = connection();
  db.enter(path);
  try {
    for (const char* sql : {kDeleteKeyEntries, kDeleteKeys}) {
      SqliteConnection::Query q(db, sql);
      if (q.text(1, path).step() != SQLITE_DONE) {
        db.fail(path, "", "Не удалось удалить ключ");
      }
    }
  } catch (...) {
    db.leave(path);
    throw;
  }
  db.leave(path);
}

void SqliteSettingsStore::Atomically(const std::function<void()>& steps) {
  connection().Atomically(steps);
}

}  // namespace pelmora
