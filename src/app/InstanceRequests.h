#pragma once

#include <QObject>

#include "platform/DataFolder.h"

class QSocketNotifier;

namespace pelmora {

// What a later start asks of the instance that runs.
enum class InstanceRequest {
  ShowStatus,  // a plain second start, or the menu entry's "Показать окно статуса"
  OpenSettings,  // the menu entry's "Настройки"
  EndSettled,    // the installer's: end, a connection being metered settled first
};

// The way a later start reaches the running instance, so that a desktop without a tray never
// loses the program: on Linux a named pipe in the private data folder, on Windows a named event
// per request. Only the first instance listens.
class InstanceRequests : public QObject {
  Q_OBJECT

 public:
  explicit InstanceRequests(const DataFolder& folder, QObject* parent = nullptr);
  ~InstanceRequests() override;

  // Starts listening; false when the system refuses (the program then runs without it).
  bool listen();

  // Hands a request to the running instance; false when none listens.
  static bool send(const DataFolder& folder, InstanceRequest request);

 signals:
  void received(InstanceRequest request);

 private:
  void drain();

  DataFolder m_folder;
  int m_fd = -1;                          // Linux: the pipe, held open for reading and writing
  QSocketNotifier* m_notifier = nullptr;  // Linux
  QObject* m_events[3] = {};              // Windows: a notifier per request
};

}  // namespace pelmora
