// The database file itself: what survives errors, two processes at once, damaged files and
// the documented table layout.
#include "store/linux/SqliteSettingsStore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "support/TemporaryFolder.h"

namespace pelmora {
namespace {

using testing::fileContent;
using testing::TemporaryFolder;

class SqliteSettingsStoreTest : public ::testing::Test {
 protected:
  SqliteSettingsStore makeStore() { return {database(), folder / "autostart"}; }
  std::filesystem::path database() const { return folder / "registry.db"; }

  // Rows of a query run straight on the file, as a user with the sqlite3 tool would.
  std::vector<std::string> rows(const std::string& sql) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(database().c_str(), &db), SQLITE_OK);
    std::vector<std::string> out;
    sqlite3_exec(
        db, sql.c_str(),
        [](void* target, int columns, char** values, char**) {
          std::string row;
          for (int i = 0; i < columns; ++i) row += (i ? "|" : "") + std::string(values[i]);
          static_cast<std::vector<std::string>*>(target)->push_back(row);
          return 0;
        },
        &out, nullptr);
    sqlite3_close(db);
    return out;
  }

  TemporaryFolder folder;
};

TEST_F(SqliteSettingsStoreTest, WritesBeforeAnErrorStayWritten) {
  auto store = makeStore();
  try {
    auto key = store.OpenKey(kProgramKey, true);
    key->WriteInteger("NumberT", 7);
    key->WriteString("CentsT", "150");
    key->ReadInteger("CentsT");  // wrong type: the handler stops here
    FAIL() << "no StoreError";
  } catch (const StoreError& e) {
    EXPECT_EQ(e.value(), "CentsT");
  }
  // The same store goes on working, and another connection sees both writes.
  store.OpenKey(kProgramKey, true)->WriteInteger("NumberD", 1);
  auto other = makeStore();
  auto key = other.OpenKey(kProgramKey, false);
  EXPECT_EQ(key->ReadInteger("NumberT"), 7);
  EXPECT_EQ(key->ReadString("CentsT"), "150");
  EXPECT_EQ(key->ReadInteger("NumberD"), 1);
}

// A unit is all or nothing, and another program holding the write lock (sqlite3 in a
// transaction) neither blocks a read nor holds a write up for more than a moment.
TEST_F(SqliteSettingsStoreTest, UnitsAreAllOrNothingAndABusyStoreNeverBlocks) {
  auto store = makeStore();
  store.OpenKey(kProgramKey, true)->WriteInteger("NumberT", 1);
  EXPECT_THROW(store.Atomically([&] {
    auto key = store.OpenKey(kProgramKey, true);
    key->WriteInteger("NumberT", 2);
    key->WriteString("CentsT", "150");
    key->ReadInteger("CentsT");  // wrong type
  }),
               StoreError);
  EXPECT_EQ(rows("SELECT data FROM entries WHERE name = 'NumberT'"), std::vector<std::string>{"1"});
  EXPECT_TRUE(rows("SELECT data FROM entries WHERE name = 'CentsT'").empty());

  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(database().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; UPDATE entries SET data = 5", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(store.OpenKey(kProgramKey, true)->ReadInteger("NumberT"), 1);
  EXPECT_THROW(
      store.Atomically([&] { store.OpenKey(kProgramKey, true)->WriteInteger("NumberT", 2); }),
      StoreBusy);
  EXPECT_THROW(store.OpenKey(kProgramKey, true)->WriteInteger("NumberT", 2), StoreBusy);
  // Generous for a slow machine: a blocked store used to wait ten seconds.
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(3));
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);

  store.Atomically([&] { store.OpenKey(kProgramKey, true)->WriteInteger("NumberT", 2); });
  EXPECT_EQ(rows("SELECT data FROM entries WHERE name = 'NumberT'"), std::vector<std::string>{"2"});
}

TEST_F(SqliteSettingsStoreTest, TwoProcessesCountingAtOnceLoseNothing) {
  makeStore().OpenKey(kProgramKey, true)->WriteInteger("NumberT", 0);
  constexpr int kRounds = 200;
  // Each round reads and writes back the counter in one unit, the way a disconnect settles the
  // totals, and tries again while the other process holds the store.
  auto count = [this](const char* own) {
    auto store = makeStore();
    for (int i = 0; i < kRounds; ++i) {
      for (;;) {
        try {
          store.Atomically([&] {
            auto key = store.OpenKey(kProgramKey, false);
            key->WriteInteger("NumberT", key->ReadInteger("NumberT") + 1);
            key->WriteInteger(own, i + 1);
          });
          break;
        } catch (const StoreBusy&) {
        }
      }
    }
  };
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    try {
      count("Child");
    } catch (...) {
      _exit(1);
    }
    _exit(0);
  }
  count("Parent");
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  auto key = makeStore().OpenKey(kProgramKey, false);
  EXPECT_EQ(key->ReadInteger("NumberT"), 2 * kRounds);
  EXPECT_EQ(key->ReadInteger("Child"), kRounds);
  EXPECT_EQ(key->ReadInteger("Parent"), kRounds);
}

TEST_F(SqliteSettingsStoreTest, DamagedOrUnreachableFileIsAClearErrorAndStaysUntouched) {
  const std::string garbage(4096, 'x');
  std::ofstream(database(), std::ios::binary) << "Pelmora settings\n" << garbage;
  const std::string before = fileContent(database());

  auto store = makeStore();
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      store.OpenKey(kProgramKey, true);
      FAIL() << "no StoreError";
    } catch (const StoreError& e) {
      EXPECT_EQ(e.key(), database().string());
      EXPECT_NE(e.expected().find("не является базой настроек"), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(store.DeleteKey(kProgramKey), StoreError);
  EXPECT_EQ(fileContent(database()), before);
  EXPECT_FALSE(std::filesystem::exists(folder / "registry.db-wal"));

  // A folder where the file should be, or a folder that does not exist.
  std::filesystem::create_directory(folder / "dir.db");
  SqliteSettingsStore onFolder(folder / "dir.db", folder / "autostart");
  EXPECT_THROW(onFolder.OpenKey(kProgramKey, true), StoreError);
  SqliteSettingsStore nowhere(folder / "missing" / "registry.db", folder / "autostart");
  EXPECT_THROW(nowhere.OpenKey(kProgramKey, true), StoreError);
}

TEST_F(SqliteSettingsStoreTest, FileHoldsTheDocumentedTables) {
  {
    auto store = makeStore();
    auto key = store.OpenKey(tariffKey(3), true);
    key->WriteInteger("MidC", 60);
    key->WriteString("Note", "ТУГРИКИ");
    // The Run key is the autostart folder, not the database.
    store.OpenKey(kRunKey, true)->WriteString("Pelmora v2.4", "\"/usr/bin/pelmora\"");
  }
  EXPECT_EQ(rows("SELECT path FROM keys ORDER BY path"),
            (std::vector<std::string>{"Software", "Software\\Kedrun", "Software\\Kedrun\\Pelmora",
                                      "Software\\Kedrun\\Pelmora\\Tariffs",
                                      "Software\\Kedrun\\Pelmora\\Tariffs\\3"}));
  EXPECT_EQ(rows("SELECT name, type, typeof(data), data FROM entries ORDER BY name"),
            (std::vector<std::string>{"MidC|REG_DWORD|integer|60", "Note|REG_SZ|text|ТУГРИКИ"}));
  EXPECT_EQ(rows("PRAGMA journal_mode"), std::vector<std::string>{"wal"});
  EXPECT_TRUE(std::filesystem::exists(folder / "autostart" / "pelmora-v2.4.desktop"));

  // Values repaired by hand with the wrong kind of data are errors, not garbage.
  rows("UPDATE entries SET data = 'sixty' WHERE name = 'MidC'");
  rows(
      "INSERT INTO entries VALUES ('Software\\Kedrun\\Pelmora\\Tariffs\\3', 'MinC', "
      "'REG_DWORD', 4294967296)");
  auto key = makeStore().OpenKey(tariffKey(3), false);
  EXPECT_THROW(key->ReadInteger("MidC"), StoreError);
  EXPECT_THROW(key->ReadInteger("MinC"), StoreError);
}

}  // namespace
}  // namespace pelmora
