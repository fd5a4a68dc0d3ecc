// The registry store as the system sees it: real value types under HKEY_CURRENT_USER, the Run
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
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, program.c_str(), L"Zero", RRF_RT_REG_DWORD, nullptr,
                         &zero, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(zero, 20u);
  wchar_t text[64] = {};
  size = sizeof text;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, program.c_str(), L"CurrencyCustom", RRF_RT_REG_SZ,
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
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_WRITE, &raw), ERROR_SUCCESS);
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

// An older installation kept its settings under HKEY_LOCAL_MACHINE, where a normal user cannot
// write today: the first start copies them under the user's key once, and never again.
TEST(RegistryStore, AnOlderInstallationsMachineKeyIsCopiedOnceToTheUser) {
  testing::RegistryBacking backing;
  const std::wstring machine = widen(backing.prefix);
  const auto machineKey = [&](const std::string& path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (machine + L"\\" + widen(path)).c_str(), 0,
                              nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
  };
  HKEY program = machineKey(kProgramKey);
  RegSetValueExW(program, L"Account", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"12,50"),
                 6 * sizeof(wchar_t));
  const DWORD seconds = 3600;
  RegSetValueExW(program, L"Seconds", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&seconds),
                 sizeof seconds);
  RegCloseKey(program);
  HKEY sunday = machineKey(std::string(kProgramKey) + "\\Tariffs\\0");
  const DWORD price = 42;
  RegSetValueExW(sunday, L"ZonePrice0", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&price),
                 sizeof price);
  RegCloseKey(sunday);

  EXPECT_TRUE(copyMachineSettingsOnce(backing.prefix));
  {
    auto key = backing.store->OpenKey(kProgramKey, false);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString("Account"), "12,50");
    EXPECT_EQ(key->ReadInteger("Seconds"), 3600);
    EXPECT_EQ(backing.store->OpenKey(std::string(kProgramKey) + "\\Tariffs\\0", false)
                  ->ReadInteger("ZonePrice0"),
              42);
    key->WriteString("Account", "7,25");  // the user's own from now on
  }
  EXPECT_FALSE(copyMachineSettingsOnce(backing.prefix));
  EXPECT_EQ(backing.store->OpenKey(kProgramKey, false)->ReadString("Account"), "7,25");

  // The machine's key is the older installation's: read, never changed.
  wchar_t text[16] = {};
  DWORD size = sizeof text;
  EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, (machine + L"\\" + widen(kProgramKey)).c_str(),
                         L"Account", RRF_RT_REG_SZ, nullptr, text, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(narrow(text), "12,50");
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, machine.c_str());

  // Without any older installation nothing is copied.
  testing::RegistryBacking fresh;
  EXPECT_FALSE(copyMachineSettingsOnce(fresh.prefix));
  EXPECT_EQ(fresh.store->OpenKey(kProgramKey, false), nullptr);
}

}  // namespace
}  // namespace pelmora
