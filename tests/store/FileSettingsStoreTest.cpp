// The portable copy's settings file: what it keeps across a reopening, and what it never does
// to the user's settings when something goes wrong.

#include "store/FileSettingsStore.h"

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/Failpoint.h"
#include "store/StoreError.h"
#include "support/TemporaryFolder.h"

namespace pelmora {
namespace {

constexpr const char* kKey = "Software\\Kedrun\\Pelmora";

std::string content(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(FileSettingsStoreTest, UnitsAndFailedWritesLeaveTheFileAsItWas) {
  testing::TemporaryFolder folder;
  const auto file = folder / "Pelmora.settings";
  {
    FileSettingsStore store(file);
    auto key = store.OpenKey(kKey, true);
    // Texts the file's own layout uses come back as they were.
    key->WriteString("AppON", "C:\\Program Files\\dial.exe\t/q 100%25\r\n«ц.»");
    key->WriteInteger("NumberT", 7);
    key->CloseKey();
  }
  const std::string saved = content(file);

  FileSettingsStore store(file);
  // A unit that throws writes nothing; one that returns writes all at once.
  EXPECT_THROW(store.Atomically([&] {
    store.OpenKey(kKey, true)->WriteInteger("NumberT", 8);
    throw StoreError(kKey, "NumberT", "stop");
  }),
               StoreError);
  EXPECT_EQ(content(file), saved);
  EXPECT_EQ(store.OpenKey(kKey, false)->ReadInteger("NumberT"), 7);

  // A full disk: the write is refused, the store and the file stay as they were.
  setWriteRefusal([](const char* name) { return std::string_view(name) == "Pelmora.settings"; });
  EXPECT_THROW(store.Atomically([&] { store.OpenKey(kKey, true)->WriteInteger("NumberT", 9); }),
               StoreFull);
  auto key = store.OpenKey(kKey, true);
  key->WriteInteger("NumberT", 10);
  EXPECT_THROW(key->CloseKey(), StoreFull);
  setWriteRefusal(nullptr);
  EXPECT_EQ(content(file), saved);
  EXPECT_EQ(store.OpenKey(kKey, false)->ReadInteger("NumberT"), 7);

  FileSettingsStore again(file);
  auto reread = again.OpenKey(kKey, false);
  EXPECT_EQ(reread->ReadString("appon"), "C:\\Program Files\\dial.exe\t/q 100%25\r\n«ц.»");
  EXPECT_EQ(reread->ReadInteger("NumberT"), 7);
}

// A file that is no settings file, or one with a damaged line, is refused and never written
// over: the user's values stay for the user to repair.
TEST(FileSettingsStoreTest, ADamagedFileIsRefusedAndKept) {
  testing::TemporaryFolder folder;
  const auto file = folder / "Pelmora.settings";
  for (const std::string& damaged :
       {std::string("some other file\r\n"),
        std::string(FileSettingsStore::kHeader) + "\r\nSoftware\tNumberT\tREG_DWORD\t1x\r\n",
        std::string(FileSettingsStore::kHeader) + "\r\nSoftware\tNumberT\tREG_BINARY\t1\r\n",
        std::string(FileSettingsStore::kHeader) +
            "\r\nSoftware\tNumberT\tREG_DWORD\t4294967296\r\n"}) {
    std::ofstream(file, std::ios::binary) << damaged;
    EXPECT_THROW(FileSettingsStore store(file), StoreError) << damaged;
    EXPECT_EQ(content(file), damaged);
  }
}

}  // namespace
}  // namespace pelmora
