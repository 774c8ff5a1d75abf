// Helpers shared by the request-service tests.
#ifndef TESMO_TESTS_SERVICETESTSUPPORT_H
#define TESMO_TESTS_SERVICETESTSUPPORT_H

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "TAPIInterface.h"
#include "net/THttpRequestService.h"
#include "support/CallbackRecorder.h"

// Owner function for a bare service: reports go to the CallbackRecorder as the
// facade would hand them to the callback, then the packet is freed.
inline void RecordingOwner(TAPIPacket* packet) {
  CallbackRecorder::Callback(packet->code, packet->a, packet->id, packet->b, packet->s4.c_str());
  delete packet;
}

inline TAPIPacket* MakePacket(int code, int id, const std::string& s1 = std::string(),
                              const std::string& s2 = std::string()) {
  TAPIPacket* packet = new TAPIPacket;
  packet->code = code;
  packet->id = id;
  packet->s1 = s1;
  packet->s2 = s2;
  return packet;
}

// Registers an executor for the life of a test, then puts back the one that was
// registered before (the engine's own handlers register when the library loads).
class ScopedExecutor {
 public:
  template <typename Function>
  ScopedExecutor(int code, Function executor)
      : m_code(code), m_previous(THttpRequestService::FindExecutor(code)) {
    THttpRequestService::RegisterExecutor(code, std::move(executor));
  }
  ~ScopedExecutor() { THttpRequestService::RegisterExecutor(m_code, m_previous); }
  ScopedExecutor(const ScopedExecutor&) = delete;
  ScopedExecutor& operator=(const ScopedExecutor&) = delete;

 private:
  int m_code;
  THttpRequestService::Executor m_previous;
};

// Installs a background-worker factory for the life of a test (an empty one: no
// background worker), then puts back the one installed before.
class ScopedBackgroundWorkerFactory {
 public:
  explicit ScopedBackgroundWorkerFactory(THttpRequestService::BackgroundWorkerFactory factory)
      : m_previous(THttpRequestService::GetBackgroundWorkerFactory()) {
    THttpRequestService::SetBackgroundWorkerFactory(std::move(factory));
  }
  ~ScopedBackgroundWorkerFactory() { THttpRequestService::SetBackgroundWorkerFactory(m_previous); }
  ScopedBackgroundWorkerFactory(const ScopedBackgroundWorkerFactory&) = delete;
  ScopedBackgroundWorkerFactory& operator=(const ScopedBackgroundWorkerFactory&) = delete;

 private:
  THttpRequestService::BackgroundWorkerFactory m_previous;
};

// Installs reply hooks for the life of a test, then puts back the ones installed
// before.
class ScopedReplyHooks {
 public:
  ScopedReplyHooks(THttpRequestService::Interceptor interceptor,
                   THttpRequestService::Router router) {
    THttpRequestService::CopyReplyHooks(&m_interceptor, &m_router);
    THttpRequestService::SetReplyHooks(std::move(interceptor), std::move(router));
  }
  ~ScopedReplyHooks() { THttpRequestService::SetReplyHooks(m_interceptor, m_router); }
  ScopedReplyHooks(const ScopedReplyHooks&) = delete;
  ScopedReplyHooks& operator=(const ScopedReplyHooks&) = delete;

 private:
  THttpRequestService::Interceptor m_interceptor;
  THttpRequestService::Router m_router;
};

// A counter the test can wait on, and a gate that holds executors until opened.
class Gate {
 public:
  void Enter() {
    std::unique_lock<std::mutex> lock(m_mutex);
    ++m_inside;
    ++m_entered;
    m_cond.notify_all();
    m_cond.wait(lock, [this] { return m_passes > 0 || m_open; });
    if (!m_open) --m_passes;
    --m_inside;
    m_cond.notify_all();
  }
  // Lets n waiting (or future) executors through.
  void Pass(int n) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_passes += n;
    m_cond.notify_all();
  }
  void Open() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_open = true;
    m_cond.notify_all();
  }
  bool WaitInside(int n, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cond.wait_for(lock, timeout, [&] { return m_inside == n; });
  }
  bool WaitEntered(int n, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cond.wait_for(lock, timeout, [&] { return m_entered >= n; });
  }
  int Inside() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_inside;
  }
  int Entered() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_entered;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_cond;
  int m_inside = 0;
  int m_entered = 0;
  int m_passes = 0;
  bool m_open = false;
};

// Waits for a condition polled at short intervals (for state without a signal).
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
  auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

#endif
