#pragma once

#include <string>
#include <vector>

#include "app/ProgramCore.h"
#include "support/Doubles.h"

namespace pelmora::testing {

// The status window as the core sees it, writing down what the connection actions do to it
// ("switch off", "meter on", ...) and what the panels show. The monitor's own calls (polling,
// caption, state) are kept apart in `state`.
struct RecordingStatusView : StatusView {
  void showDuration(const std::string& text) override { time = text; }
  void showCost(const std::string& text) override { cents = text; }
  void setPolling(bool on) override { polling = on; }
  void setSwitchCaption(const std::string&) override {}
  void refreshState(MonitorState s) override { state = s; }
  void enableSwitch(bool on) override { calls.push_back(on ? "switch on" : "switch off"); }
  void enableSettings(bool on) override { calls.push_back(on ? "settings on" : "settings off"); }
  void showStatusWindow() override { calls.push_back("show"); }
  void setMetering(bool on) override { calls.push_back(on ? "meter on" : "meter off"); }
  void setFlashing(bool on) override { calls.push_back(on ? "flash on" : "flash off"); }
  void startHider() override { calls.push_back("hider"); }
  void refreshStatistics() override { calls.push_back("statistics"); }
  void setSettlementRetry(bool on) override {
    if (on) calls.push_back("retry");
  }
  void stopMonitoring() override { calls.push_back("monitoring off"); }
  void programEnding() override { calls.push_back("ending"); }
  void notify(const std::string& title, const std::string&) override {
    calls.push_back("notify " + title);
  }

  std::vector<std::string> calls;
  std::string time;
  std::string cents;
  bool polling = false;
  int state = 0;
};

// The settings dialog as the core sees it, writing down what it was told.
struct RecordingSettingsListener : SettingsListener {
  void commitAllowed(bool allowed) override { commits.push_back(allowed); }
  void statisticsChanged() override { ++statistics; }

  std::vector<bool> commits;
  int statistics = 0;
};

}  // namespace pelmora::testing
