#ifndef TESMO_NET_THTTPREQUESTSERVICE_H
#define TESMO_NET_THTTPREQUESTSERVICE_H

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "core/TBaseThread.h"

class TAPIPacket;
class TBackgroundWorker;

// Internal request codes (never answered to the caller). Every code below
// kInternalCodeLimit is internal: its packet is freed by the service once its
// executor has run.
constexpr int kInternalFriendSync = 100;
constexpr int kInternalPeerMessage = 101;
constexpr int kInternalCodeLimit = 1000;

// The result of an executor that ended with an exception instead of a result.
constexpr int kExecutorFault = -1;

// The queue of asynchronous requests and the four workers that run them. Every
// queued packet with a request code is answered exactly once through the owner
// function, unless the service stops first (then it is freed without an answer).
class THttpRequestService {
 public:
  using OwnerFunction = void (*)(TAPIPacket*);

  // Runs one request on a worker thread; packet->state holds the worker's client
  // slot. Returns the request's result (0 = success), which becomes packet->a; the
  // reply text goes into packet->s4. The executor never frees the packet.
  using Executor = std::function<int(THttpRequestService& service, TAPIPacket* packet)>;

  // Asked before every asynchronous GET (body empty) and POST. To take a request
  // over it sets *handled = 1 and returns the request's result; otherwise it
  // leaves *handled at 0 and the exchange goes on.
  using Interceptor = std::function<int(THttpRequestService& service, TAPIPacket* packet,
                                        const std::string& url, const std::string& body,
                                        int* handled)>;
  // Called after every successful asynchronous GET or POST (not after DoPost, nor
  // the synchronous exchanges) with the URL and the reply body; it may replace
  // packet->s4.
  using Router = std::function<void(THttpRequestService& service, TAPIPacket* packet,
                                    const std::string& url, const std::string& reply)>;

  using BackgroundWorkerFactory =
      std::function<std::unique_ptr<TBackgroundWorker>(THttpRequestService& service)>;

  static constexpr int kWorkerCount = 4;
  static constexpr int kSyncWorkerSlot = 4;
  static constexpr int kClientSlots = 5;

  explicit THttpRequestService(OwnerFunction owner);
  ~THttpRequestService();
  THttpRequestService(const THttpRequestService&) = delete;
  THttpRequestService& operator=(const THttpRequestService&) = delete;

  // Starts the background worker and the four workers once; later calls return 1.
  int Start();
  // Ends and joins the workers and the background worker, then frees what is still
  // queued without answering it. Safe to call more than once.
  void Stop();
  // Takes ownership of the packet. After Stop the packet is freed unanswered.
  void Enqueue(TAPIPacket* packet);
  void RaiseEvent(int code, int a, int id, const std::string& text);
  // Forwards a login (0) or re-login (1) to the background worker, if there is one.
  void SetLoggedIn(int relogin);

  bool IsRunning() const { return m_running.load() != 0; }
  // True from the start of Stop: nothing new is queued or taken any more.
  bool IsStopping() const { return m_stop.load(); }
  bool IsWorkerAlive(int index) const;
  size_t QueuedCount();

  // URL of a server key ("LOGIN", "USERSERVER", ...), path appended unchanged.
  std::string GetServerUrl(const std::string& path, const std::string& key) const;
  // When extendedKey is "id@domain" and the domain names a known server, that
  // server's URL; otherwise GetServerUrl(path, key).
  std::string BuildUrl(const std::string& path, const std::string& extendedKey,
                       const std::string& key) const;
  // URL on the download server.
  std::string GetDownloadUrl(const std::string& path) const;

  // Executor table, shared by every service of the process. An empty executor
  // removes the code's entry. Codes without an executor are answered unchanged
  // with a = 0; 200101 and 200102 run the service's own GET and POST.
  static void RegisterExecutor(int code, Executor executor);
  // Reply hook: empty functions remove the interceptor or the router.
  static void SetReplyHooks(Interceptor interceptor, Router router);
  static void SetBackgroundWorkerFactory(BackgroundWorkerFactory factory);

 private:
  static unsigned WorkerEntry(void* arg);
  void WorkerLoop(int index);
  void Execute(TAPIPacket* packet);
  TAPIPacket* Dequeue();
  void Hand(TAPIPacket* packet);

  OwnerFunction m_owner;
  std::atomic<int> m_running{0};
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_alive[kWorkerCount] = {};
  std::unique_ptr<TBaseThread> m_workers[kWorkerCount];
  std::mutex m_lifeMutex;        // serialises Start and Stop
  std::mutex m_backgroundMutex;  // guards m_background
  std::unique_ptr<TBackgroundWorker> m_background;
  std::mutex m_queueMutex;
  std::condition_variable m_queueCond;
  std::deque<TAPIPacket*> m_queue;
};

// The fields that message, group and sync request bodies begin with: the own
// display name, the device type and the own profile version, each followed by ",".
std::string AddClientFields();
std::string ConcatStrings(const std::string& a, const std::string& b);

#endif
