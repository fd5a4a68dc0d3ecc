#include "platform/Failpoint.h"

#include <atomic>

namespace pelmora {

namespace {
std::atomic<FailpointHandler> g_handler{nullptr};
}  // namespace

void setFailpointHandler(FailpointHandler handler) {
  g_handler.store(handler);
}

void failpoint(const char* name) {
  if (const FailpointHandler handler = g_handler.load()) handler(name);
}

}  // namespace pelmora
