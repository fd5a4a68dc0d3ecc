// The behaviour every settings store shares, checked on the in-memory store the other modules'
// tests use and on the real stores: the database file, or the registry on Windows, and the
// portable copy's settings file.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>

#include "store/FileSettingsStore.h"
#include "store/StoreError.h"
#include "support/MemorySettingsStore.h"
#include "support/TemporaryFolder.h"
#ifdef _WIN32
#include "store/win/RegistryBacking.h"
#else
#include "store/linux/SqliteSettingsStore.h"
#endif

namespace pelmora {
namespace {

struct MemoryBacking {
  std::unique_ptr<SettingsStore> store = std::make_unique<testing::MemorySettingsStore>();
  // The in-memory store has nothing to reopen.
  SettingsStore& reopened() { return *store; }
};

#ifdef _WIN32
using PlatformBacking = testing::RegistryBacking;
#else
struct SqliteBacking {
  testing::TemporaryFolder folder;
  std::unique_ptr<SettingsStore> store = make();
  std::unique_ptr<SettingsStore> second;
  std::unique_ptr<SettingsStore> make() {
    return std::make_unique<SqliteSettingsStore>(folder / "registry.db", folder / "autostart");
  }
  // A new connection on the same file: it sees only what was committed.
  SettingsStore& reopened() {
    second = make();
    return *second;
  }
};
using PlatformBacking = SqliteBacking;
#endif

struct FileBacking {
  testing::TemporaryFolder folder;
  std::unique_ptr<SettingsStore> store = make();
  std::unique_ptr<SettingsStore> second;
  std::unique_ptr<SettingsStore> make() {
    return std::make_unique<FileSettingsStore>(folder / "Pelmora.settings");
  }
  // The file read anew: it holds only what was written through.
  SettingsStore& reopened() {
    second = make();
    return *second;
  }
};

template <typename Backing>
class StoreSemantics : public ::testing::Test {
 protected:
  Backing backing;
  SettingsStore& store() { return *backing.store; }
};

using Backings = ::testing::Types<MemoryBacking, PlatformBacking, FileBacking>;
TYPED_TEST_SUITE(StoreSemantics, Backings);

constexpr const char* kKey = "Software\\Kedrun\\Pelmora";

TYPED_TEST(StoreSemantics, KeepsTypesAndIgnoresCaseOfNames) {
  {
    auto key = this->store().OpenKey(kKey, true);
    ASSERT_TRUE(key);
    key->WriteInteger("Min", std::numeric_limits<std::int32_t>::min());
    key->WriteInteger("Max", std::numeric_limits<std::int32_t>::max());
    key->WriteString("CurrencyCustom", "НАСТРАИВАЕМАЯ");
    key->WriteString("AppOFF", "");
    key->WriteInteger("Cents", 5);
    key->WriteString("CENTS", "12,5");  // replaces the integer, type and all
    key->CloseKey();
  }
  auto key = this->backing.reopened().OpenKey("SOFTWARE\\kedrun\\PELMORA", false);
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ReadInteger("min"), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(key->ReadInteger("MAX"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(key->ReadString("currencycustom"), "НАСТРАИВАЕМАЯ");
  EXPECT_TRUE(key->ValueExists("AppOff"));
  EXPECT_EQ(key->ReadString("AppOFF"), "");
  EXPECT_EQ(key->ReadString("Cents"), "12,5");
  EXPECT_THROW(key->ReadInteger("Cents"), StoreError);
  key->DeleteValue("cents");
  key->DeleteValue("NoSuchValue");  // no error
  EXPECT_FALSE(key->ValueExists("Cents"));
}

TYPED_TEST(StoreSemantics, ErrorsNameTheKeyTheValueAndTheExpectedType) {
  auto key = this->store().OpenKey(kKey, true);
  key->WriteString("Zero", "twenty");
  key->WriteInteger("Currency", 36);

  auto errorOf = [](auto&& call) -> StoreError {
    try {
      call();
    } catch (const StoreError& e) {
      return e;
    }
    ADD_FAILURE() << "no StoreError";
    return StoreError("", "", "");
  };
  const StoreError wrongInteger = errorOf([&] { key->ReadInteger("Zero"); });
  EXPECT_EQ(wrongInteger.key(), kKey);
  EXPECT_EQ(wrongInteger.value(), "Zero");
  EXPECT_NE(wrongInteger.expected().find("REG_DWORD"), std::string::npos);
  EXPECT_NE(std::string(wrongInteger.what()).find("Zero"), std::string::npos);

  const StoreError wrongText = errorOf([&] { key->ReadString("Currency"); });
  EXPECT_EQ(wrongText.value(), "Currency");
  EXPECT_NE(wrongText.expected().find("REG_SZ"), std::string::npos);

  const StoreError missing = errorOf([&] { key->ReadInteger("SecondsPlus"); });
  EXPECT_EQ(missing.value(), "SecondsPlus");
  EXPECT_EQ(key->ReadString("Missing"), "");

  key->CloseKey();
  key->CloseKey();  // closing twice is harmless
  EXPECT_THROW(key->ValueExists("Zero"), StoreError);
  EXPECT_THROW(key->WriteInteger("Zero", 1), StoreError);
}

TYPED_TEST(StoreSemantics, OpensWithParentsAndDeletesWholeSubtrees) {
  EXPECT_FALSE(this->store().OpenKey("A\\B", false));
  for (const char* path : {"A\\B\\C", "A\\BC", "A\\B"}) {
    auto key = this->store().OpenKey(path, true);
    key->WriteInteger("V", 1);
  }
  EXPECT_TRUE(this->store().OpenKey("a", false));  // created as a parent

  this->store().DeleteKey("a\\b");
  this->store().DeleteKey("No\\Such\\Key");  // no error

  SettingsStore& after = this->backing.reopened();
  EXPECT_FALSE(after.OpenKey("A\\B", false));
  EXPECT_FALSE(after.OpenKey("A\\B\\C", false));
  auto sibling = after.OpenKey("A\\BC", false);  // same prefix, not a subkey
  ASSERT_TRUE(sibling);
  EXPECT_EQ(sibling->ReadInteger("V"), 1);
  EXPECT_TRUE(after.OpenKey("A", false));
  // A key created again starts empty.
  EXPECT_FALSE(after.OpenKey("A\\B\\C", true)->ValueExists("V"));
}

TYPED_TEST(StoreSemantics, SeveralHandlesAtOnceKeepEveryWrite) {
  auto program = this->store().OpenKey(kKey, true);
  auto tariff = this->store().OpenKey("Software\\Kedrun\\Pelmora\\Tariffs\\3", true);
  program->WriteInteger("SecondsT", 60);
  tariff->WriteInteger("MidC", 61);
  EXPECT_EQ(program->ReadInteger("secondst"), 60);
  program->CloseKey();  // the first one closed is not the last one open
  tariff->WriteInteger("MinC", 21);
  tariff.reset();  // destroyed without CloseKey

  SettingsStore& after = this->backing.reopened();
  EXPECT_EQ(after.OpenKey(kKey, false)->ReadInteger("SecondsT"), 60);
  auto day = after.OpenKey("Software\\Kedrun\\Pelmora\\Tariffs\\3", false);
  EXPECT_EQ(day->ReadInteger("MidC"), 61);
  EXPECT_EQ(day->ReadInteger("MinC"), 21);
}

}  // namespace
}  // namespace pelmora
