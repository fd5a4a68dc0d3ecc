// The Run key as desktop entries in the autostart folder.
#include "store/linux/AutostartFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "support/TemporaryFolder.h"

namespace pelmora {
namespace {

using testing::fileContent;
using testing::TemporaryFolder;

TEST(AutostartFolder, EntryComesAndGoesWithTheValue) {
  TemporaryFolder home;
  AutostartFolder autostart(home / "config" / "autostart");  // created on the first write
  auto run = autostart.open(kRunKey);
  EXPECT_FALSE(run->ValueExists("Pelmora v2.4"));
  EXPECT_EQ(run->ReadString("Pelmora v2.4"), "");

  run->WriteString("Pelmora v2.4", "\"/opt/my apps/pelmora\"");
  const auto file = home / "config" / "autostart" / "pelmora-v2.4.desktop";
  EXPECT_EQ(autostart.entryFile("PELMORA V2.4"), file);
  const std::string entry = fileContent(file);
  EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u) << entry;
  EXPECT_NE(entry.find("\nExec=\"/opt/my apps/pelmora\"\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nName=Pelmora v2.4\n"), std::string::npos) << entry;
  // Skipped by the session once the program is gone; shown with the program's icon.
  EXPECT_NE(entry.find("\nTryExec=/opt/my apps/pelmora\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nIcon=org.example.Pelmora\n"), std::string::npos) << entry;
  EXPECT_TRUE(run->ValueExists("pelmora V2.4"));
  EXPECT_EQ(run->ReadString("Pelmora v2.4"), "\"/opt/my apps/pelmora\"");

  // Another version's entry is a file of its own.
  run->WriteString("Pelmora v2.3", "\"/old/pelmora\"");
  run->DeleteValue("Pelmora v2.4");
  run->DeleteValue("Pelmora v2.4");  // already gone: no error
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_TRUE(run->ValueExists("Pelmora v2.3"));

  // The list holds texts only.
  EXPECT_THROW(run->WriteInteger("Pelmora v2.3", 1), StoreError);
  EXPECT_THROW(run->ReadInteger("Pelmora v2.3"), StoreError);
}

TEST(AutostartFolder, AwkwardPathsSurviveTheExecLine) {
  for (const std::string path :
       {"/home/user/my \"best\" apps/pelmora", "/opt/$HOME/`x`/100%/back\\slash/pelmora",
        "/opt/ünïcode/пельмора"}) {
    const std::string data = "\"" + path + "\"";
    EXPECT_EQ(commandLineOf(execLineFor(data)), data);
  }
  // The desktop's quoting: reserved characters escaped inside the quotes, then the backslash
  // of the file format doubled; a percent sign doubled.
  EXPECT_EQ(execLineFor("\"/a/$b/50%\""), "\"/a/\\\\$b/50%%\"");
  EXPECT_EQ(execLineFor("xdg-open https://x/"), "xdg-open https://x/");
}

TEST(AutostartFolder, EntrySwitchedOffByTheDesktopCountsAsAbsent) {
  TemporaryFolder folder;
  AutostartFolder autostart(folder.path());
  auto run = autostart.open(kRunKey);
  const auto file = autostart.entryFile("Pelmora v2.4");
  // As the desktop's session settings switch an entry off: one line changed or added.
  for (const std::string switchedOff : {"Hidden=true", "X-GNOME-Autostart-enabled=false"}) {
    run->WriteString("Pelmora v2.4", "\"/usr/bin/pelmora\"");
    std::string entry = fileContent(file);
    const auto enabled = entry.find("X-GNOME-Autostart-enabled=true\n");
    ASSERT_NE(enabled, std::string::npos);
    entry.replace(enabled, 31, switchedOff + "\n");
    std::ofstream(file, std::ios::binary | std::ios::trunc) << entry;
    EXPECT_FALSE(run->ValueExists("Pelmora v2.4")) << switchedOff;
  }
}

TEST(AutostartFolder, RefusedWriteIsAStoreError) {
  TemporaryFolder folder;
  std::ofstream(folder / "file") << "not a folder";
  AutostartFolder autostart(folder / "file" / "autostart");
  auto run = autostart.open(kRunKey);
  try {
    run->WriteString("Pelmora v2.4", "\"/usr/bin/pelmora\"");
    FAIL() << "no StoreError";
  } catch (const StoreError& e) {
    EXPECT_EQ(e.key(), kRunKey);
    EXPECT_EQ(e.value(), "Pelmora v2.4");
  }
}

TEST(AutostartFolder, DefaultFolderFollowsXdgConfigHome) {
  const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
  const std::optional<std::string> saved =
      savedConfig ? std::optional<std::string>(savedConfig) : std::nullopt;
  setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
  EXPECT_EQ(AutostartFolder::defaultFolder(), "/tmp/cfg/autostart");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(AutostartFolder::defaultFolder(),
            std::filesystem::path(std::getenv("HOME") ? std::getenv("HOME") : "") / ".config" /
                "autostart");
  if (saved) setenv("XDG_CONFIG_HOME", saved->c_str(), 1);
}

}  // namespace
}  // namespace pelmora
