#include "services/TFacadeLink.h"

#include <atomic>

namespace {
std::atomic<TFacadeLink*> g_link{nullptr};
std::atomic<TBaseMutex* (*)()> g_callbackMutex{nullptr};
}  // namespace

TFacadeLink* TFacadeLink::Current() { return g_link.load(); }

TBaseMutex* TFacadeLink::CallbackMutex() {
  TBaseMutex* (*get)() = g_callbackMutex.load();
  return get ? get() : nullptr;
}

void TFacadeLink::SetCurrent(TFacadeLink* link, TBaseMutex* (*callbackMutex)()) {
  g_callbackMutex = callbackMutex;
  g_link = link;
}
