#include "app/InstanceRequests.h"

#include <windows.h>

#include <QWinEventNotifier>

namespace pelmora {

namespace {

// One auto-reset event per request, named in the user's session like the instance lock. The
// installer and the uninstaller set "Pelmora.Quit" themselves (data/windows/pelmora.nsi).
const wchar_t* eventName(InstanceRequest request) {
  switch (request) {
    case InstanceRequest::OpenSettings:
      return L"Local\\Pelmora.OpenSettings";
    case InstanceRequest::EndSettled:
      return L"Local\\Pelmora.Quit";
    case InstanceRequest::ShowStatus:
      break;
  }
  return L"Local\\Pelmora.ShowStatus";
}

constexpr InstanceRequest kRequests[] = {InstanceRequest::ShowStatus, InstanceRequest::OpenSettings,
                                         InstanceRequest::EndSettled};

}  // namespace

InstanceRequests::InstanceRequests(const DataFolder& folder, QObject* parent)
    : QObject(parent), m_folder(folder) {}

InstanceRequests::~InstanceRequests() {
  for (QObject*& event : m_events) {
    auto* notifier = static_cast<QWinEventNotifier*>(event);
    if (notifier == nullptr) continue;
    const HANDLE handle = notifier->handle();
    delete notifier;  // before its handle closes
    ::CloseHandle(handle);
    event = nullptr;
  }
}

bool InstanceRequests::listen() {
  for (int i = 0; i < 3; ++i) {
    const InstanceRequest request = kRequests[i];
    const HANDLE handle = ::CreateEventW(nullptr, FALSE, FALSE, eventName(request));
    if (handle == nullptr) return false;
    auto* notifier = new QWinEventNotifier(handle, this);
    connect(notifier, &QWinEventNotifier::activated, this,
            [this, request] { emit received(request); });
    m_events[i] = notifier;
  }
  return true;
}

bool InstanceRequests::send(const DataFolder&, InstanceRequest request) {
  const HANDLE handle = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName(request));
  if (handle == nullptr) return false;
  const bool sent = ::SetEvent(handle) != 0;
  ::CloseHandle(handle);
  return sent;
}

}  // namespace pelmora
