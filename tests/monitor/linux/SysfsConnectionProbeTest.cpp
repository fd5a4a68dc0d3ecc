#include "monitor/linux/SysfsConnectionProbe.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "support/TemporaryFolder.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

// A fake /sys with interfaces under class/net.
class FakeSysfs : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(m_root / "class" / "net"); }

  fs::path addInterface(const std::string& name, const std::string& type,
                        const std::string& flags) {
    const fs::path dir = m_root / "class" / "net" / name;
    fs::create_directories(dir);
    std::ofstream(dir / "type") << type << "\n";
    std::ofstream(dir / "flags") << flags << "\n";
    return dir;
  }

  int probe() { return SysfsConnectionProbe(m_root).probe(); }

  testing::TemporaryFolder m_folder;
  fs::path m_root = m_folder.path();
};

TEST_F(FakeSysfs, NoDialUpLinkIsNotConnected) {
  EXPECT_EQ(probe(), 0);  // no interfaces at all
  addInterface("lo", "772", "0x9");
  addInterface("eth0", "1", "0x1043");  // an ethernet link up is not a dial-up link
  EXPECT_EQ(probe(), 0);
}

TEST_F(FakeSysfs, PppLinkCountsOnlyWhenUpAndRunning) {
  const fs::path ppp = addInterface("ppp0", "512", "0x1090");  // being set up: not up
  EXPECT_EQ(probe(), 0);
  std::ofstream(ppp / "flags") << "0x1091\n";  // up, but not running yet
  EXPECT_EQ(probe(), 0);
  std::ofstream(ppp / "flags") << "0x10d1\n";  // up and running
  EXPECT_EQ(probe(), 1);
}

TEST_F(FakeSysfs, TwoLinksUpCountAsConnected) {
  addInterface("ppp0", "512", "0x10d1");
  addInterface("ppp1", "512", "0x10d1");
  EXPECT_EQ(probe(), 1);
}

TEST_F(FakeSysfs, UnreadableOrDamagedAttributesAreNotConnected) {
  const fs::path ppp = addInterface("ppp0", "512", "garbage");
  EXPECT_EQ(probe(), 0);
  std::ofstream(ppp / "flags") << "";
  EXPECT_EQ(probe(), 0);
  fs::remove(ppp / "flags");
  fs::create_directory(ppp / "flags");  // a directory where a file should be
  EXPECT_EQ(probe(), 0);
  addInterface("ppp1", "512x", "0x10d1");  // a damaged type
  EXPECT_EQ(probe(), 0);
}

TEST_F(FakeSysfs, UnreadableFlagsFileIsNotConnected) {
  const fs::path ppp = addInterface("ppp0", "512", "0x10d1");
  fs::remove(ppp / "flags");
  fs::create_symlink(m_root / "gone", ppp / "flags");  // dangling: open fails
  EXPECT_EQ(probe(), 0);
  if (::geteuid() != 0) {  // root reads files whatever their mode
    fs::remove(ppp / "flags");
    std::ofstream(ppp / "flags") << "0x10d1\n";
    fs::permissions(ppp / "flags", fs::perms::none);
    EXPECT_EQ(probe(), 0);
  }
}

TEST_F(FakeSysfs, MissingTreeIsNotConnected) {
  EXPECT_EQ(SysfsConnectionProbe(m_root / "nowhere").probe(), 0);
  EXPECT_EQ(SysfsConnectionProbe("").probe(), 0);
}

}  // namespace
}  // namespace pelmora
