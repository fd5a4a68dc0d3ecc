#include "monitor/ConnectionMonitor.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/Doubles.h"

#include "monitor/ConnectionProbe.h"

namespace pelmora {
namespace {

using testing::ScriptedProbe;

struct RecordingView : MonitorView, MonitorTransitions {
  bool polling = false;
  std::string caption;
  std::vector<int> refreshed;
  std::vector<std::string> transitions;
  const ConnectionMonitor* monitor = nullptr;

  void setPolling(bool on) override { polling = on; }
  void setSwitchCaption(const std::string& c) override { caption = c; }
  void refreshState(MonitorState state) override { refreshed.push_back(state); }
  void connected() override {
    transitions.push_back("connect@" + std::to_string(monitor->state()));
  }
  void disconnected() override {
    transitions.push_back("disconnect@" + std::to_string(monitor->state()));
  }
};

class MonitorTest : public ::testing::Test {
 protected:
  MonitorTest() : monitor(probe, view, view) { view.monitor = &monitor; }
  ScriptedProbe probe;
  RecordingView view;
  ConnectionMonitor monitor;
};

TEST_F(MonitorTest, EveryChangeOfTheProbeGivesExactlyOneTransition) {
  monitor.switchChanged(true);
  const std::vector<int> answers = {0, 0, 1, 1, 1, 0, 0, 1, 0, 1, 1};
  for (int a : answers) {
    probe.answer = a;
    monitor.poll();
  }
  // The state is already set when the actions run, and the icon is refreshed after them.
  EXPECT_EQ(view.transitions, (std::vector<std::string>{"connect@2", "disconnect@1", "connect@2",
                                                        "disconnect@1", "connect@2"}));
  EXPECT_EQ(view.refreshed, (std::vector<int>{1, 2, 1, 2, 1, 2}));
  EXPECT_EQ(monitor.state(), kMonitorConnected);
}

TEST_F(MonitorTest, SwitchSetsStateCaptionAndPolling) {
  EXPECT_EQ(monitor.state(), kMonitorOff);
  monitor.switchChanged(true);
  EXPECT_EQ(monitor.state(), kMonitorDisconnected);
  EXPECT_EQ(view.caption, "Выключить");
  EXPECT_TRUE(view.polling);
  monitor.switchChanged(false);
  EXPECT_EQ(monitor.state(), kMonitorOff);
  EXPECT_EQ(view.caption, "Включить");
  EXPECT_FALSE(view.polling);
  monitor.switchChanged(true);
  EXPECT_EQ(monitor.state(), kMonitorDisconnected);
  EXPECT_EQ(view.caption, "Выключить");
  EXPECT_EQ(view.refreshed, (std::vector<int>{1, 0, 1}));
}

TEST_F(MonitorTest, ALinkUpAtStartOrWhileSwitchedOffIsSeenAtTheFirstPoll) {
  probe.answer = 1;
  monitor.switchChanged(true);
  monitor.poll();
  EXPECT_EQ(view.transitions, (std::vector<std::string>{"connect@2"}));
}

TEST_F(MonitorTest, ForgettingTheConnectionMakesAnUpLinkANewConnect) {
  monitor.switchChanged(true);
  probe.answer = 1;
  monitor.poll();
  monitor.forgetConnection();
  monitor.poll();
  EXPECT_EQ(view.transitions, (std::vector<std::string>{"connect@2", "connect@2"}));
}

// A modal box inside a transition runs a nested event loop in which the polling timer fires
// again; such a poll must not repeat the transition.
TEST(MonitorReentrancy, APollDuringATransitionDoesNotRepeatIt) {
  ScriptedProbe probe;
  struct NestedView : RecordingView {
    ConnectionMonitor* nested = nullptr;
    void connected() override {
      RecordingView::connected();
      nested->poll();
    }
  } view;
  ConnectionMonitor monitor(probe, view, view);
  view.monitor = &monitor;
  view.nested = &monitor;
  monitor.switchChanged(true);
  probe.answer = 1;
  monitor.poll();
  EXPECT_EQ(view.transitions, (std::vector<std::string>{"connect@2"}));
}

}  // namespace
}  // namespace pelmora
