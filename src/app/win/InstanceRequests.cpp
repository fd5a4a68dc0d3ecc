#include "app/InstanceRequests.h"

#include <windows.h>

#include <QWinEventNotifier>

namespace pelmora {

namespace {

// One auto-reset event per request, named in the user's session like the instance lock.
const wchar_t* eventName(InstanceRequest request) {
  return request == InstanceRequest::OpenSettings ? L"Local\\Pelmora.OpenSettings"
                                                  : L"Local\\Pelmora.ShowStatus";
}

constexpr InstanceRequest kRequests[] = {InstanceRequest::ShowStatus,
                                         InstanceRequest::OpenSettings};

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
  for (int i = 0; i < 2; ++i) {
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
