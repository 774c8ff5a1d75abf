#include "net/TNetContext.h"

#include <atomic>

namespace {
std::atomic<TNetContext*> g_context{nullptr};
}  // namespace

TNetContext* TNetContext::Instance() { return g_context.load(); }

void TNetContext::Attach(TNetContext* context) { g_context = context; }

void TNetContext::Detach(TNetContext* context) {
  g_context.compare_exchange_strong(context, nullptr);
}
