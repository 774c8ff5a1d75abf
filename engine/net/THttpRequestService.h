#ifndef TESMO_NET_THTTPREQUESTSERVICE_H
#define TESMO_NET_THTTPREQUESTSERVICE_H

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "core/TBaseThread.h"

class TAPIPacket;

// The queue of asynchronous requests and the four workers that run them. Every
// queued packet is answered exactly once through the owner function, unless the
// engine stops first (then it is freed without an answer).
class THttpRequestService {
 public:
  using OwnerFunction = void (*)(TAPIPacket*);
  // Runs one request on a worker: fills packet->a (and s4, b) in place.
  using Executor = std::function<void(THttpRequestService&, TAPIPacket*)>;

  static constexpr int kWorkerCount = 4;
  static constexpr int kSyncWorkerSlot = 4;

  explicit THttpRequestService(OwnerFunction owner);
  ~THttpRequestService();
  THttpRequestService(const THttpRequestService&) = delete;
  THttpRequestService& operator=(const THttpRequestService&) = delete;

  int Start();
  // Ends the workers, joins them and frees what is still queued.
  void Stop();
  void Enqueue(TAPIPacket* packet);
  void RaiseEvent(int code, int a, int id, const std::string& text);
  void SetLoggedIn(int relogin);

  // Handler table: the code's executor runs on a worker; codes without one are
  // answered unchanged with a = 0.
  static void RegisterExecutor(int code, Executor executor);

  size_t QueuedCount();

 private:
  static unsigned WorkerEntry(void* arg);
  void WorkerLoop(int index);
  void Execute(TAPIPacket* packet);
  TAPIPacket* Dequeue();

  OwnerFunction m_owner;
  std::atomic<int> m_running{0};
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_alive[kWorkerCount] = {};
  std::unique_ptr<TBaseThread> m_workers[kWorkerCount];
  std::mutex m_queueMutex;
  std::condition_variable m_queueCond;
  std::deque<TAPIPacket*> m_queue;
  std::atomic<int> m_nextIndex{0};
};

#endif
