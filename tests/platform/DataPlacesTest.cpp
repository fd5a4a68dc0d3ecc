// Where the Windows program keeps its data: the user's own folder for an installed program, the
// executable's folder for a portable copy or an older installation's files, PELMORA_HOME first.
#include "platform/DataPlaces.h"

#include <fstream>

#include <gtest/gtest.h>

#include "support/TemporaryFolder.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

void touch(const fs::path& file) {
  std::ofstream(file) << "x";
}

TEST(DataPlaces, InstalledPortableOlderInstallationAndHome) {
  testing::TemporaryFolder scratch;
  const fs::path program = scratch.path() / fs::path(u8"Программы") / "Pelmora";
  const fs::path local = scratch / "Local";
  fs::create_directories(program);
  touch(program / "pelmora.exe");
  const DataPlaces installed{{}, program, local};

  // An installed program keeps its data in the user's folder, never in its own.
  EXPECT_EQ(chooseDataFolder(installed), local / "Pelmora");
  EXPECT_FALSE(fs::exists(program / "Pelmora.write-check.tmp"));

  // PELMORA_HOME wins over everything.
  touch(program / kPortableMarker);
  EXPECT_EQ(chooseDataFolder({scratch / "home", program, local}), scratch / "home");
  // The zip's marker makes the copy portable.
  EXPECT_EQ(chooseDataFolder(installed), program);
  fs::remove(program / kPortableMarker);

  // An older installation's files beside the executable stay where they are, while the folder
  // can be written.
  for (const char* name : {"Internet.LOG", "Account.LOG", "Duration.tmp"}) {
    touch(program / name);
    EXPECT_EQ(chooseDataFolder(installed), program) << name;
    fs::remove(program / name);
  }
  EXPECT_EQ(chooseDataFolder(installed), local / "Pelmora");
  EXPECT_FALSE(fs::exists(program / "Pelmora.write-check.tmp"));
}

TEST(DataPlaces, AnOlderInstallationInAFolderTheUserCannotWriteIsLeftThere) {
  testing::TemporaryFolder scratch;
  const fs::path program = scratch / "Program Files" / "Pelmora";
  fs::create_directories(program);
  touch(program / "Internet.LOG");
  // A folder in the place of the write check's file stands for a folder that refuses new files.
  fs::create_directories(program / "Pelmora.write-check.tmp" / "busy");
  EXPECT_FALSE(folderWritable(program));
  EXPECT_EQ(chooseDataFolder({{}, program, scratch / "Local"}), scratch / "Local" / "Pelmora");
  EXPECT_TRUE(folderWritable(scratch.path()));
}

// An upgrade from an older installation whose logs stay in its program folder (or Windows'
// VirtualStore copy of it) takes them over once, and never over logs the data folder has.
TEST(DataPlaces, AnUpgradeTakesTheOlderInstallationsLogsOnce) {
  testing::TemporaryFolder scratch;
  const fs::path data = scratch / "Local" / "Pelmora";
  const fs::path virtualStore = scratch / "VirtualStore" / "Pelmora";
  const fs::path program = scratch / "Program Files" / "Pelmora";
  fs::create_directories(data);
  fs::create_directories(virtualStore);
  fs::create_directories(program);
  std::ofstream(program / "Internet.LOG", std::ios::binary) << "old log";
  std::ofstream(program / "Account.LOG", std::ios::binary) << "12.5\r\n";

  // The VirtualStore copy holds nothing here: the program folder's logs are taken.
  EXPECT_TRUE(adoptOlderLogs(data, {virtualStore, program}));
  EXPECT_EQ(testing::fileContent(data / "Internet.LOG"), "old log");
  EXPECT_EQ(testing::fileContent(data / "Account.LOG"), "12.5\r\n");
  EXPECT_TRUE(fs::exists(program / "Internet.LOG"));  // the older installation keeps its own

  // Once the data folder has logs, nothing is taken again.
  std::ofstream(data / "Internet.LOG", std::ios::app | std::ios::binary) << " and a new connection";
  std::ofstream(program / "Account.LOG", std::ios::binary) << "99\r\n";
  EXPECT_FALSE(adoptOlderLogs(data, {program}));
  EXPECT_EQ(testing::fileContent(data / "Internet.LOG"), "old log and a new connection");
  EXPECT_EQ(testing::fileContent(data / "Account.LOG"), "12.5\r\n");
}

}  // namespace
}  // namespace pelmora
