#pragma once

#include <string>

#include "monitor/MonitorState.h"

namespace pelmora {

class ConnectionProbe;

// What the monitor needs from the window that shows it.
class MonitorView {
 public:
  virtual ~MonitorView() = default;
  // Starts or stops the 500 ms polling timer.
  virtual void setPolling(bool on) = 0;
  // The caption of the switch's menu entry.
  virtual void setSwitchCaption(const std::string& caption) = 0;
  // Tray icon and status glyph for the state.
  virtual void refreshState(MonitorState state) = 0;
};

// The connect and disconnect actions, run when a poll sees the probe result change. The
// monitor has already set its state (kMonitorConnected or kMonitorDisconnected) when they
// run; the view is refreshed after them.
class MonitorTransitions {
 public:
  virtual ~MonitorTransitions() = default;
  virtual void connected() = 0;
  virtual void disconnected() = 0;
};

// Polls the probe and turns every change of its answer into one transition. Knows nothing of
// where the answer comes from.
class ConnectionMonitor {
 public:
  ConnectionMonitor(ConnectionProbe& probe, MonitorView& view, MonitorTransitions& transitions);

  // The switch changed (by the user, by the menu, or at start-up): state, caption, icon, polling.
  void switchChanged(bool on);
  // One polling step.
  void poll();
  // Forget the last probe answer, so a link that is up is seen as a new connect.
  void forgetConnection() { m_previous = false; }

  MonitorState state() const { return m_state; }
  bool isConnected() const { return m_state == kMonitorConnected; }

  static const char* switchCaption(bool on);

 private:
  ConnectionProbe& m_probe;
  MonitorView& m_view;
  MonitorTransitions& m_transitions;
  MonitorState m_state = kMonitorOff;
  bool m_previous = false;  // the last probe answer: connected
};

}  // namespace pelmora
