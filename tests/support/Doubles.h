#pragma once

// Small stand-ins for the world the program's core talks to, shared by the test executables.

#include <string>
#include <vector>

#include "connection/Meter.h"
#include "monitor/ConnectionProbe.h"
#include "platform/AddressOpener.h"
#include "platform/Notifier.h"
#include "platform/ProgramStarter.h"
#include "platform/SoundPlayer.h"
#include "support/FixedScreen.h"

namespace pelmora::testing {

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

// Records the titles of the notices shown.
struct RecordingNotifier final : Notifier {
  void notify(const std::string& title, const std::string&) override { titles.push_back(title); }
  std::vector<std::string> titles;
};

}  // namespace pelmora::testing
