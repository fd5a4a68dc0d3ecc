// The program starter and the sound player on Windows, with a real second process.
#include "platform/win/WinProgramStarter.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/win/WinSoundPlayer.h"
#include "support/TemporaryFolder.h"
#include "support/win/HelperProgram.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A folder whose path has blanks, holding a copy of the helper program named with blanks.
class StarterTest : public ::testing::Test {
 protected:
  StarterTest() {
    fs::create_directories(folder);
    fs::create_directories(plainFolder);
    fs::copy_file(testing::besideThisProgram(testing::kHelperProgram), helper,
                  fs::copy_options::overwrite_existing);
  }

  // The arguments the helper wrote, once it has written them.
  std::vector<std::string> receivedArguments(const fs::path& file) {
    for (auto end = std::chrono::steady_clock::now() + 20s;
         !fs::exists(file) && std::chrono::steady_clock::now() < end;) {
      std::this_thread::sleep_for(20ms);
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  testing::TemporaryFolder temporary;
  fs::path folder = temporary / "pelmora starter" / "with blanks";
  fs::path helper = folder / "helper copy.exe";
  fs::path plainFolder = temporary / "out";  // no blanks in its path
};

TEST_F(StarterTest, ArgumentsArriveExactlyAsGiven) {
  const fs::path output = folder / "received arguments.txt";
  const std::vector<std::string> arguments = {"one two", R"(say "hi")", R"(C:\Program Files\)",
                                              "",        "/reboot",     "Ёжик"};
  std::vector<std::string> all = {"args", output.string()};
  all.insert(all.end(), arguments.begin(), arguments.end());

  WinProgramStarter starter;
  ASSERT_TRUE(starter.start(helper.string(), all));
  EXPECT_EQ(receivedArguments(output), arguments);
}

TEST_F(StarterTest, AStoredLineWithAnUnquotedPathStartsThatProgram) {
  const fs::path output = plainFolder / "line.txt";
  // As a user types it into the settings: the program's path with its blanks, unquoted.
  const std::string line = "  " + helper.string() + " args " + output.string() + " /x  ";
  WinProgramStarter starter;
  ASSERT_TRUE(starter.startCommandLine(line));
  EXPECT_EQ(receivedArguments(output), std::vector<std::string>{"/x"});

  EXPECT_FALSE(starter.startCommandLine("   "));
  EXPECT_FALSE(starter.start((folder / "no such program.exe").string(), {}));
  EXPECT_FALSE(starter.start("", {"x"}));
}

TEST(WinSoundPlayer, ReturnsAtOnceEvenForAFileThatCannotBePlayed) {
  WinSoundPlayer player;
  const auto start = std::chrono::steady_clock::now();
  player.play(R"(C:\no\such\folder\TADA.wAv)");
  player.play("");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

}  // namespace
}  // namespace pelmora
