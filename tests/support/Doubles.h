#pragma once

// Small stand-ins for the world the program's core talks to, shared by the test executables.

#include <optional>
#include <string>
#include <vector>

#include "accounting/Meter.h"
#include "monitor/ConnectionProbe.h"
#include "platform/AddressOpener.h"
#include "platform/ProgramStarter.h"
#include "platform/Screen.h"
#include "platform/SoundPlayer.h"

namespace pelmora::testing {

// A screen of a fixed size.
struct FixedScreen final : Screen {
  explicit FixedScreen(ScreenSize screen = {1280, 1024}) : fixed(screen) {}
  ScreenSize size() const override { return fixed; }
  ScreenArea availableArea() const override {
    return available.value_or(ScreenArea{0, 0, fixed.width, fixed.height});
  }
  ScreenSize fixed;
  std::optional<ScreenArea> available;  // the whole screen when not set
};

// A probe that answers what the test set; counts its calls.
struct ScriptedProbe final : ConnectionProbe {
  bool probe() override {
    ++calls;
    return answer != 0;
  }
  int answer = 0;
  int calls = 0;
};

// The metering's two panels, as last written.
struct RecordingPanels : MeterDisplay {
  void showDuration(const std::string& text) override { time = text; }
  void showCost(const std::string& text) override { cents = text; }
  std::string time;
  std::string cents;
};

// Records every program start as "program|arg|arg" or "line: <command line>"; reports failure,
// so a launch that fails must not change what the caller does.
struct RecordingStarter final : ProgramStarter {
  bool start(const std::string& program, const std::vector<std::string>& args) override {
    std::string line = program;
    for (const auto& a : args) line += "|" + a;
    started.push_back(line);
    return false;
  }
  bool startCommandLine(const std::string& line) override {
    started.push_back("line: " + line);
    return false;
  }
  std::vector<std::string> started;
};

// Records the sounds played.
struct RecordingSound final : SoundPlayer {
  void play(const std::string& file) override { played.push_back(file); }
  std::vector<std::string> played;
};

// Records the addresses handed to the desktop; reports failure, which callers ignore.
struct RecordingAddressOpener final : AddressOpener {
  bool open(const std::string& address) override {
    opened.push_back(address);
    return false;
  }
  std::vector<std::string> opened;
};

}  // namespace pelmora::testing
