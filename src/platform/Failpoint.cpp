#include "platform/Failpoint.h"

#include <atomic>

namespace pelmora {

namespace {
std::atomic<FailpointHandler> g_handler{nullptr};
std::atomic<WriteRefusal> g_refusal{nullptr};
}  // namespace

void setFailpointHandler(FailpointHandler handler) {
  g_handler.store(handler);
}

void failpoint(const char* name) {
  if (const FailpointHandler handler = g_handler.load()) handler(name);
}

void setWriteRefusal(WriteRefusal refusal) {
  g_refusal.store(refusal);
}

bool writeRefused(const char* file) {
  const WriteRefusal refusal = g_refusal.load();
  return refusal != nullptr && refusal(file);
}

}  // namespace pelmora
