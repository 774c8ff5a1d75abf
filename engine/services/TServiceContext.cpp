#include "services/TServiceContext.h"

#include <atomic>

namespace {
std::atomic<TServiceContext*> g_context{nullptr};
}  // namespace

TServiceContext* TServiceContext::Instance() { return g_context.load(); }

void TServiceContext::Attach(TServiceContext* context) {
  g_context = context;
  TNetContext::Attach(context);
}

void TServiceContext::Detach(TServiceContext* context) {
  TNetContext::Detach(context);
  TServiceContext* self = context;
  g_context.compare_exchange_strong(self, nullptr);
}
