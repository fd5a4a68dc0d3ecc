#include "monitor/ConnectionMonitor.h"

#include "monitor/ConnectionProbe.h"

namespace pelmora {

ConnectionMonitor::ConnectionMonitor(ConnectionProbe& probe, MonitorView& view,
                                     MonitorTransitions& transitions)
    : m_probe(probe), m_view(view), m_transitions(transitions) {}

const char* ConnectionMonitor::switchCaption(bool on) {
  return on ? "Выключить" : "Включить";
}

void ConnectionMonitor::switchChanged(bool on) {
  m_state = on ? kMonitorDisconnected : kMonitorOff;
  m_view.setSwitchCaption(switchCaption(on));
  m_view.refreshState(m_state);
  m_view.setPolling(on);
}

void ConnectionMonitor::poll() {
  const bool current = m_probe.probe();
  const bool previous = m_previous;
  // Remember the answer first: a transition that shows a modal box must not see it again.
  m_previous = current;
  if (current == previous) return;
  if (current) {
    m_state = kMonitorConnected;
    m_transitions.connected();
  } else {
    m_state = kMonitorDisconnected;
    m_transitions.disconnected();
  }
  m_view.refreshState(m_state);
}

}  // namespace pelmora
