// The registry store as the system sees it: real value types under HKEY_LOCAL_MACHINE, the Run
// key as the autostart list, and values written by other programs.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win/WideText.h"
#include "store/win/RegistrySettingsStore.h"
#include "store/StartUpSteps.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "store/win/RegistryBacking.h"

namespace pelmora {
namespace {

using testing::startUp;

// The raw registry key below the test's prefix.
std::wstring systemKey(const testing::RegistryBacking& backing, const std::string& path) {
  return widen(backing.prefix + "\\" + path);
}

TEST(RegistryStore, StartsWithTheSchemaAndMovesTheAutostartEntryOnAnUpgrade) {
  testing::RegistryBacking backing;
  SettingsStore& store = *backing.store;
  EXPECT_EQ(startUp(store), std::make_pair(true, true));

  const std::wstring program = systemKey(backing, kProgramKey);
  DWORD zero = 0;
  DWORD size = sizeof zero;
  ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, program.c_str(), L"Zero", RRF_RT_REG_DWORD, nullptr,
                         &zero, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(zero, 20u);
  wchar_t text[64] = {};
  size = sizeof text;
  ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, program.c_str(), L"CurrencyCustom", RRF_RT_REG_SZ,
                         nullptr, text, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(narrow(text), "НАСТРАИВАЕМАЯ");

  {
    auto key = store.OpenKey(kProgramKey, false);
    EXPECT_EQ(key->ReadString("SoundON"), "C:\\WINDOWS\\MEDIA\\TADA.wAv");
    EXPECT_EQ(
        key->ReadString("AppON").rfind("C:\\PROGRAM FILES\\INTERNET EXPLORER\\IEXPLORE.EXE ", 0),
        0u);
    EXPECT_EQ(key->ReadInteger("XX"), 1280 - 105);
    EXPECT_FALSE(store.OpenKey(kRunKey, true)->ValueExists("Pelmora v2.4"));  // autostart off
    key->WriteInteger("VersionZ", 3);  // as if 2.3 had run last, with autostart on
    store.OpenKey(kRunKey, true)->WriteString("Pelmora v2.3", "\"C:\\Old\\Pelmora.exe\"");
  }

  EXPECT_EQ(startUp(backing.reopened()), std::make_pair(false, false));
  auto run = backing.reopened().OpenKey(kRunKey, false);
  EXPECT_FALSE(run->ValueExists("Pelmora v2.3"));
  EXPECT_EQ(run->ReadString("Pelmora v2.4"), std::string("\"") + testing::kExecutable + "\"");
  EXPECT_EQ(backing.reopened().OpenKey(kApplicationsKey, false)->ReadInteger("Pelmora v2.4"), 2);
  EXPECT_EQ(backing.reopened().OpenKey(kProgramKey, false)->ReadInteger("VersionZ"), 4);
}

TEST(RegistryStore, ValuesOfOtherTypesAreStoreErrorsAndTextsNeedNoTerminator) {
  testing::RegistryBacking backing;
  auto key = backing.store->OpenKey(kProgramKey, true);
  const std::wstring path = systemKey(backing, kProgramKey);
  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_WRITE, &raw), ERROR_SUCCESS);
  const BYTE bytes[] = {1, 2, 3};
  RegSetValueExW(raw, L"Binary", 0, REG_BINARY, bytes, sizeof bytes);
  RegSetValueExW(raw, L"Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(L"%TEMP%"),
                 7 * sizeof(wchar_t));
  const wchar_t unterminated[] = {L'1', L'2', L',', L'5'};
  RegSetValueExW(raw, L"Cents", 0, REG_SZ, reinterpret_cast<const BYTE*>(unterminated),
                 sizeof unterminated);
  const BYTE shortWord[] = {7, 0};
  RegSetValueExW(raw, L"Short", 0, REG_DWORD, shortWord, sizeof shortWord);
  RegCloseKey(raw);

  EXPECT_TRUE(key->ValueExists("binary"));
  EXPECT_THROW(key->ReadString("Binary"), StoreError);
  EXPECT_THROW(key->ReadInteger("Binary"), StoreError);
  EXPECT_THROW(key->ReadString("Expand"), StoreError);
  EXPECT_THROW(key->ReadInteger("Short"), StoreError);
  EXPECT_EQ(key->ReadString("Cents"), "12,5");
  key->WriteString("Cents", "");
  EXPECT_EQ(key->ReadString("Cents"), "");
  EXPECT_TRUE(key->ValueExists("Cents"));
}

}  // namespace
}  // namespace pelmora
