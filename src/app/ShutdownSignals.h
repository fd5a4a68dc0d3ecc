#pragma once

#include <QObject>

class QSocketNotifier;

namespace pelmora {

// Turns SIGTERM and SIGINT (on Windows the end of the session) into a Qt signal on the
// user-interface thread, so the program ends as it does when the system shuts down: no
// questions, no disconnect actions.
class ShutdownSignals : public QObject {
  Q_OBJECT

 public:
  explicit ShutdownSignals(QObject* parent = nullptr);
  ~ShutdownSignals() override;

 signals:
  void received();

 private:
  void drain();

  QSocketNotifier* m_notifier = nullptr;
  void* m_window = nullptr;  // Windows: the hidden window that hears the end of the session
};

}  // namespace pelmora
