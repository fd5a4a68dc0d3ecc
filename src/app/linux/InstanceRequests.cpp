#include "app/InstanceRequests.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace pelmora {

namespace {

std::filesystem::path pipePath(const DataFolder& folder) {
  return folder.root() / "pelmora.requests";
}

constexpr char kShowStatus = 's';
constexpr char kOpenSettings = 'o';
constexpr char kEndSettled = 'q';

char byteOf(InstanceRequest request) {
  switch (request) {
    case InstanceRequest::OpenSettings:
      return kOpenSettings;
    case InstanceRequest::EndSettled:
      return kEndSettled;
    case InstanceRequest::ShowStatus:
      break;
  }
  return kShowStatus;
}

}  // namespace

InstanceRequests::InstanceRequests(const DataFolder& folder, QObject* parent)
    : QObject(parent), m_folder(folder) {}

InstanceRequests::~InstanceRequests() {
  if (m_fd < 0) return;
  delete m_notifier;  // before its descriptor closes
  ::close(m_fd);
  ::unlink(pipePath(m_folder).c_str());
}

bool InstanceRequests::listen() {
  const std::filesystem::path path = pipePath(m_folder);
  // What an instance that was killed left behind is made anew.
  ::unlink(path.c_str());
  if (::mkfifo(path.c_str(), 0600) != 0) return false;
  // Opened for writing too, so the pipe never reads as ended between two writers.
  m_fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (m_fd < 0) return false;
  m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &InstanceRequests::drain);
  return true;
}

bool InstanceRequests::send(const DataFolder& folder, InstanceRequest request) {
  // Without a reader the open fails (ENXIO) instead of waiting for one.
  const int fd = ::open(pipePath(folder).c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat status {};
  const char byte = byteOf(request);
  // A plain file of that name is no instance and is never written to.
  const bool sent =
      ::fstat(fd, &status) == 0 && S_ISFIFO(status.st_mode) && ::write(fd, &byte, 1) == 1;
  ::close(fd);
  return sent;
}

void InstanceRequests::drain() {
  char buffer[64];
  ssize_t n = 0;
  while ((n = ::read(m_fd, buffer, sizeof buffer)) > 0) {
    for (ssize_t i = 0; i < n; ++i) {
      if (buffer[i] == kShowStatus) emit received(InstanceRequest::ShowStatus);
      if (buffer[i] == kOpenSettings) emit received(InstanceRequest::OpenSettings);
      if (buffer[i] == kEndSettled) emit received(InstanceRequest::EndSettled);
    }
  }
}

}  // namespace pelmora
