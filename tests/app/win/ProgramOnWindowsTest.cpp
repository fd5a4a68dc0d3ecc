// The real pelmora.exe on Windows (under wine in CI), installed for the user in a folder whose
// name is not ASCII, with the stand-in remote-access library (PELMORA_RASAPI): it keeps its data in
// %LOCALAPPDATA%\Pelmora and its settings under HKEY_CURRENT_USER, names itself in the
// autostart value, meters and settles a connection, and the end of the session ends it as
// SIGTERM does on Linux.
#include <windows.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "store/StoreKeys.h"
#include "store/win/RegistrySettingsStore.h"
#include "support/ProgramProcess.h"
#include "support/TemporaryFolder.h"
#include "support/win/HelperProgram.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::ProgramProcess;
using testing::waitUntil;

// The installed program's files: the executables, the DLLs, the plugins, the translations and
// the user guide; the build's own files stay behind.
void copyProgram(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (const auto& entry : fs::directory_iterator(from)) {
    const fs::path name = entry.path().filename();
    const std::string extension = entry.path().extension().string();
    if (entry.is_directory()) {
      if (name == "platforms" || name == "styles" || name == "translations") {
        fs::copy(entry.path(), to / name, fs::copy_options::recursive);
      }
    } else if (extension == ".exe" || extension == ".dll" || extension == ".html") {
      fs::copy_file(entry.path(), to / name);
    }
  }
}

class ProgramOnWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    copyProgram(fs::path(PELMORA_EXECUTABLE).parent_path(), m_program);
    setLink(false);
    m_store.DeleteKey("Software\\Kedrun");
    m_store.OpenKey(kRunKey, true)->DeleteValue("Pelmora v2.4");
  }
  void TearDown() override { m_store.DeleteKey("Software\\Kedrun"); }

  std::unique_ptr<ProgramProcess> start(const std::string& answers = "") {
    std::string link = "@";
    link += text(m_scratch / "link.txt");
    return std::make_unique<ProgramProcess>(
        m_program / "pelmora.exe", std::vector<std::string>{},
        std::map<std::string, std::string>{
            {"QT_QPA_PLATFORM", "offscreen"},
            {"PELMORA_HOME", ""},  // not set: the program chooses
            {"LOCALAPPDATA", text(m_scratch / fs::path(u8"Данные"))},
            {"PELMORA_FAKE_RAS", link},
            {"PELMORA_ANSWERS", answers},
            {"PELMORA_RASAPI", text(testing::besideThisProgram("fake_rasapi.dll"))}},
        m_scratch / ("stderr-" + std::to_string(++m_runs) + ".txt"));
  }

  void setLink(bool up) { std::ofstream(m_scratch / "link.txt") << (up ? "8192\n" : "\n"); }

  std::string file(const std::string& name) const { return testing::fileContent(m_data / name); }
  bool waitForText(const std::string& name, const std::string& wanted, int times = 1) {
    return waitUntil(
        [&] {
          const std::string content = file(name);
          int found = 0;
          for (auto at = content.find(wanted); at != std::string::npos;
               at = content.find(wanted, at + 1)) {
            ++found;
          }
          return found >= times;
        },
        20s);
  }
  void waitForStart() {
    ASSERT_TRUE(waitUntil([&] { return testing::instanceLockHeld(m_data); }, 20s));
    ASSERT_TRUE(waitForText("Account.LOG", "\r\n"));
  }
  std::int32_t integer(const std::string& name) {
    return m_store.OpenKey(kProgramKey, false)->ReadInteger(name);
  }

  static std::string text(const fs::path& path) {
    const std::u8string t = path.u8string();
    return std::string(t.begin(), t.end());
  }

  testing::TemporaryFolder m_scratch;
  const fs::path m_program = m_scratch / fs::path(u8"Программы") / "Pelmora";
  const fs::path m_data = m_scratch / fs::path(u8"Данные") / "Pelmora";
  RegistrySettingsStore m_store;
  int m_runs = 0;
};

TEST_F(ProgramOnWindows, MetersSettlesAndEndsWithTheSession) {
  {
    auto first = start();
    waitForStart();
    first->signal(SIGTERM);
    ASSERT_EQ(first->wait(20s), 0) << first->errorOutput();
  }
  // Nothing beside the installed program; the settings under the user's key.
  EXPECT_FALSE(fs::exists(m_program / "Internet.LOG"));
  EXPECT_EQ(file("Internet.LOG").rfind("==================================\r\n", 0), 0u);
  EXPECT_EQ(integer("Zero"), 20);
  m_store.OpenKey(kProgramKey, false)->WriteInteger("Zero", 0);  // a short connection costs
  // As if 2.3 had run last with autostart on: the upgrade names this program in the Run value.
  m_store.OpenKey(kProgramKey, false)->WriteInteger("VersionZ", 3);
  m_store.OpenKey(kRunKey, true)->WriteString("Pelmora v2.3", "\"C:\\Old\\Pelmora.exe\"");

  auto program = start();
  waitForStart();
  std::string quoted = "\"";
  quoted += text(m_program / "pelmora.exe");
  quoted += '"';
  const auto autostart = [&] { return m_store.OpenKey(kRunKey, true)->ReadString("Pelmora v2.4"); };
  waitUntil([&] { return !autostart().empty(); }, 20s);
  EXPECT_EQ(autostart(), quoted);
  setLink(true);
  ASSERT_TRUE(waitForText("Internet.LOG", " - Connected"));
  testing::sleepFor(3s);
  setLink(false);
  ASSERT_TRUE(waitForText("Internet.LOG", "]\r\n\r\n"));
  EXPECT_FALSE(fs::exists(m_data / "Duration.tmp"));
  EXPECT_GE(integer("Seconds"), 5 + 2);
  EXPECT_EQ(integer("NumberT"), 1);
  const std::string log = file("Internet.LOG");
  EXPECT_TRUE(std::regex_search(
      log, std::regex("\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d - Connected\r\n"
                      "\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d - DisConnected\r\n"
                      "         = 00:00:\\d\\d \\+ \\[[0-9.,]{1,8}c\\]\r\n\r\n$")))
      << log;
  const std::string account = m_store.OpenKey(kProgramKey, false)->ReadString("Account");
  EXPECT_NE(account, "0");
  EXPECT_EQ(file("Account.LOG"), account + "\r\n");

  // The session ends during the next connection: no question, no disconnect, the running
  // connection kept in Duration.tmp for the next start.
  setLink(true);
  ASSERT_TRUE(waitForText("Internet.LOG", " - Connected", 2));
  ASSERT_TRUE(waitUntil([&] { return fs::exists(m_data / "Duration.tmp"); }, 15s));
  program->signal(SIGTERM);
  ASSERT_EQ(program->wait(20s), 0) << program->errorOutput();
  EXPECT_EQ(program->messageBoxes(), "");
  EXPECT_TRUE(fs::exists(m_data / "Duration.tmp"));
  EXPECT_EQ(file("Internet.LOG").find("]\r\n\r\n", log.size()), std::string::npos);
  EXPECT_EQ(integer("NumberT"), 1);

  // The next start offers it; counted, it is in the statistics.
  setLink(false);
  auto again = start("yes");
  ASSERT_TRUE(waitForText("Internet.LOG", "]\r\n\r\n", 2));
  waitForStart();
  again->signal(SIGTERM);
  ASSERT_EQ(again->wait(20s), 0) << again->errorOutput();
  EXPECT_EQ(again->messageBoxes().rfind("Аварийное восстановление... | ", 0), 0u)
      << again->messageBoxes();
  EXPECT_FALSE(fs::exists(m_data / "Duration.tmp"));
}

}  // namespace
}  // namespace pelmora
