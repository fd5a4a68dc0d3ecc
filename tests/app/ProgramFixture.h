#pragma once

// The real program in a sandbox of its own: offscreen, its own data folder, a fake sysfs tree
// with one PPP link the test brings up and down, scripted answers to its message boxes.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/ProgramProcess.h"
#include "support/TemporaryFolder.h"

namespace pelmora::testing {

class ProgramFixture : public ::testing::Test {
 protected:
  void SetUp() override { m_environment = offscreenEnvironment(home(), m_root); }

  std::filesystem::path home() const { return m_root / "home"; }
  std::filesystem::path sysfs() const { return m_root / "sys"; }

  // Message boxes are answered from `answers`, or shown for real (offscreen, where nobody can
  // answer them) when `realBoxes` is set.
  std::unique_ptr<ProgramProcess> start(std::vector<std::string> args = {},
                                        const std::string& answers = "", bool realBoxes = false) {
    const std::string name = "stderr-" + std::to_string(++m_runs) + ".txt";
    std::map<std::string, std::string> environment = m_environment;
    if (!realBoxes) environment["PELMORA_ANSWERS"] = answers;
    return std::make_unique<ProgramProcess>(PELMORA_EXECUTABLE, std::move(args),
                                            std::move(environment), m_root / name);
  }

  // Started and holding its reference to the instance lock.
  void waitForLock() {
    ASSERT_TRUE(waitUntil([&] { return instanceLockHeld(home()); }, std::chrono::seconds(10)));
  }

  // The PPP link ppp0: up and running, or down (being set up).
  void setLink(bool up) {
    const auto dir = sysfs() / "class" / "net" / "ppp0";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "type") << "512\n";
    std::ofstream(dir / "flags") << (up ? "0x10d1\n" : "0x1090\n");
  }

  std::string file(const std::string& name) const {
    std::ifstream in(home() / name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // Waits until the file holds the text; false after the timeout.
  bool waitForText(const std::string& name, const std::string& text,
                   std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return waitUntil([&] { return file(name).find(text) != std::string::npos; }, timeout);
  }

  TemporaryFolder m_folder;
  std::filesystem::path m_root = m_folder.path();

  std::map<std::string, std::string> m_environment;
  int m_runs = 0;
};

}  // namespace pelmora::testing
