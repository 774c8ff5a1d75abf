#include "base/TStopFlag.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {
std::atomic<bool> g_stopping{false};
std::mutex g_stopMutex;
std::condition_variable g_stopCond;
}  // namespace

bool IsEngineStopping() { return g_stopping.load(); }

void SetEngineStopping(bool stopping) {
  {
    std::lock_guard<std::mutex> lock(g_stopMutex);
    g_stopping = stopping;
  }
  if (stopping) g_stopCond.notify_all();
}

bool EngineSleep(unsigned ms) {
  std::unique_lock<std::mutex> lock(g_stopMutex);
  g_stopCond.wait_for(lock, std::chrono::milliseconds(ms), [] { return g_stopping.load(); });
  return g_stopping.load();
}
