#ifndef TESMO_NET_THTTPREQUESTSERVICE_H
#define TESMO_NET_THTTPREQUESTSERVICE_H

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>

#include "base/TBaseThread.h"
#include "db/TAccountScope.h"
#include "util/TGzip.h"

class TAPIPacket;
class TBackgroundWorker;
class THttpBaseClient;
struct TServerRecord;
struct TTransferProgress;

// Results of an HTTP exchange; they become the a field of the reply.
constexpr int kHttpOk = 0;
constexpr int kHttpNoClient = 1;
constexpr int kHttpSendFailed = 2;  // nothing sent or nothing received (or no URL)
constexpr int kHttpNoBuffer = 3;
constexpr int kHttpUndecodable = 4;  // no header end, or a gzip body that would not unpack
constexpr int kHttpBadHeader = 5;
constexpr int kHttpBadStatus = 6;  // status outside 200-299

// Results of the download exchange, where the body went to a file.
constexpr int kDownloadBadHeader = 4;
constexpr int kDownloadBadStatus = 5;

// Error codes of the synchronous exchanges (written through their error pointer).
constexpr int kSyncNoReply = 1;       // could not send, or nothing came back
constexpr int kSyncOtherFailure = 2;  // no host, no client, bad reply or status

// Internal request codes (never answered to the caller). Every code below
// kInternalCodeLimit is internal: its packet is freed by the service once its
// executor has run.
constexpr int kInternalFriendSync = 100;
constexpr int kInternalPeerMessage = 101;
constexpr int kInternalSenderDetail = 102;  // fetches the details of message senders
constexpr int kInternalCodeLimit = 1000;

// The result of an executor that ended with an exception instead of a result.
constexpr int kExecutorFault = -1;
// The result of a request that was not run because the login that queued it is over.
constexpr int kRequestLoginOver = 16;

// What a worker does with a request of a login that is over (a logout, a kick-out,
// another database) when it takes it. Run now, most requests would act as whichever
// login is current by then.
struct TEndedLogin {
  enum Action {
    kRun,       // runs and is answered as usual
    kRunQuiet,  // runs (its executor knows the login is over) and answers nobody
    kAnswer,    // not run: answered once with `result` and an empty text
    kDrop,      // not run, not answered (internal work)
  };
  Action action = kRun;
  int result = 0;

  static TEndedLogin Run() { return {kRun, 0}; }
  static TEndedLogin RunQuiet() { return {kRunQuiet, 0}; }
  static TEndedLogin Answer(int result) { return {kAnswer, result}; }
  static TEndedLogin Drop() { return {kDrop, 0}; }
};

// The queue of asynchronous requests and the four workers that run them. Every
// queued packet with a request code is answered exactly once through the owner
// function, unless the service stops first (then it is freed without an answer)
// or its code's rule for a login that is over says otherwise (see Enqueue).
class THttpRequestService {
 public:
  using OwnerFunction = void (*)(TAPIPacket*);

  // Runs one request on a worker thread; packet->state holds the worker's client
  // slot. Returns the request's result (0 = success), which becomes packet->a; the
  // reply text goes into packet->s4. The executor never frees the packet.
  // RegisterExecutor also takes executors that return nothing and leave their
  // result in packet->a instead.
  using Executor = std::function<int(THttpRequestService& service, TAPIPacket* packet)>;

  // Asked before every asynchronous GET (body empty) and POST. To take a request
  // over it sets *handled = 1 and returns the request's result; otherwise it
  // leaves *handled at 0 and the exchange goes on.
  using Interceptor =
      std::function<int(THttpRequestService& service, TAPIPacket* packet, const std::string& url,
                        const std::string& body, int* handled)>;
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
  // Takes ownership of the packet. After Stop the packet is freed unanswered. The
  // packet runs for the login of the thread that queues it (TAccountScope): once
  // that login is over, the code's TEndedLogin rule decides (SetEndedLogin). What
  // still runs stores nothing once another database is open.
  void Enqueue(TAPIPacket* packet);
  // Dropped when the calling thread works for a login that is over.
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

  // Asynchronous GET and POST on the client of packet->state: the interceptor may
  // take the request over; otherwise the exchange runs and, on success, the router
  // sees the reply. On success packet->a = 0 and packet->s4 = the body; on failure
  // packet->a = the result and s4 is left alone. Returns the result.
  int Get(TAPIPacket* packet, const std::string& url);
  int Post(TAPIPacket* packet, const std::string& url, const std::string& body);
  // The POST exchange alone: neither intercepted nor routed.
  int DoPost(TAPIPacket* packet, const std::string& url, const std::string& body);
  // Synchronous exchanges on a client made for the call (any thread). The body, or
  // "" with *error set to kSyncNoReply or kSyncOtherFailure; *error is left alone on
  // success.
  std::string SyncGet(const std::string& url, int* error);
  // timeoutSeconds > 0 bounds the connection attempt and each wait for reply bytes
  // (for callers that must not stall, such as the IM dispatch thread).
  std::string PostJson(const std::string& url, const std::string& body, int* error,
                       int timeoutSeconds = 0);
  // GET of url into file on the client of packet->state. 0 on success, with *coding
  // the reply's Content-Encoding (the file holds the body as sent); else
  // kHttpNoClient, kHttpSendFailed (also an https URL without TLS), kHttpNoBuffer,
  // kDownloadBadHeader or kDownloadBadStatus.
  int DownloadExchange(TAPIPacket* packet, const std::string& url, FILE* file,
                       const TTransferProgress* progress, TContentCoding* coding);

  // Decodes a reply held in memory (header block and body): undoes the body's
  // Content-Encoding, checks the status. kHttpOk with the body, or kHttpNoBuffer,
  // kHttpUndecodable (no header end, a bad or unknown encoding), kHttpBadHeader or
  // kHttpBadStatus; the
  // status is written whenever the header parsed.
  static int DecodeReply(const char* reply, size_t length, int* status, std::string* body);

  // The client that slot (0-3 a worker, 4 the background worker) uses for url: the
  // TLS one when HTTPS is on and the URL says https. Null outside 0-4 or before Start.
  THttpBaseClient* GetClient(int slot, const std::string& url) const;

  // The service's tables: the executor of each request code and its rule for a
  // login that is over, the reply hooks and the background worker's factory. The
  // engine core fills them once, in one list (core/TEngineWiring.cpp); a service
  // made elsewhere has only what its maker puts in. An empty executor removes the
  // code's entry. Codes without an executor are answered unchanged with a = 0;
  // 200101 and 200102 run the service's own GET and POST. Executors may be replaced
  // while the workers run; the background worker's factory counts only before Start.
  template <typename Function>
  void RegisterExecutor(int code, Function executor) {
    using Result = std::invoke_result_t<Function&, THttpRequestService&, TAPIPacket*>;
    if constexpr (std::is_void_v<Result>) {
      StoreExecutor(code, [f = std::move(executor)](THttpRequestService& service,
                                                    TAPIPacket* packet) mutable {
        f(service, packet);
        return ResultOf(packet);
      });
    } else {
      StoreExecutor(code, Executor(std::move(executor)));
    }
  }
  void RegisterExecutor(int code, std::nullptr_t) { StoreExecutor(code, Executor()); }
  // The executor and the rule for a login that is over, in one entry.
  template <typename Function>
  void RegisterExecutor(int code, TEndedLogin ended, Function executor) {
    SetEndedLogin(code, ended);
    RegisterExecutor(code, std::move(executor));
  }
  // The rule for requests of code queued by a login that is over. Without one, an
  // internal code is dropped and any other runs.
  void SetEndedLogin(int code, TEndedLogin ended);
  TEndedLogin GetEndedLogin(int code) const;
  // The executor installed for code; empty when there is none.
  Executor FindExecutor(int code) const;
  // Reply hook: empty functions remove the interceptor or the router.
  void SetReplyHooks(Interceptor interceptor, Router router);
  // Copies of the installed reply hooks.
  void CopyReplyHooks(Interceptor* interceptor, Router* router) const;
  void SetBackgroundWorkerFactory(BackgroundWorkerFactory factory);
  // A copy of the installed factory.
  BackgroundWorkerFactory GetBackgroundWorkerFactory() const;

 private:
  static unsigned WorkerEntry(void* arg);
  void WorkerLoop(int index);
  // A queued packet and the stamp of the login it was queued for.
  struct Queued {
    TAPIPacket* packet;
    TAccountScope::Stamp stamp;
  };

  void Execute(TAPIPacket* packet, const TAccountScope::Stamp& stamp);
  bool Dequeue(Queued* next);
  void Hand(TAPIPacket* packet);
  void CreateClients();
  void StoreExecutor(int code, Executor executor);
  static int ResultOf(const TAPIPacket* packet);
  static int CoreExchange(THttpBaseClient* client, const TServerRecord& server,
                          const std::string& request, int* status, std::string* body);
  int PacketExchange(TAPIPacket* packet, const std::string& url, const std::string* postBody);
  int Routed(TAPIPacket* packet, const std::string& url, const std::string& interceptBody,
             const std::string* postBody);
  static std::string SyncExchange(const std::string& url, const std::string* postBody, int* error,
                                  int timeoutSeconds = 0);

  OwnerFunction m_owner;
  mutable std::mutex m_tableMutex;  // guards the five tables below
  std::map<int, Executor> m_executors;
  std::map<int, TEndedLogin> m_endedLogin;
  Interceptor m_interceptor;
  Router m_router;
  BackgroundWorkerFactory m_backgroundFactory;
  std::atomic<int> m_running{0};
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_alive[kWorkerCount] = {};
  std::unique_ptr<TBaseThread> m_workers[kWorkerCount];
  std::mutex m_lifeMutex;        // serialises Start and Stop
  std::mutex m_backgroundMutex;  // guards m_background
  std::unique_ptr<TBackgroundWorker> m_background;
  // One client per slot and transport, made by Start, freed by Stop once every
  // thread that uses them has ended.
  std::unique_ptr<THttpBaseClient> m_plainClients[kClientSlots];
  std::unique_ptr<THttpBaseClient> m_tlsClients[kClientSlots];
  std::mutex m_queueMutex;
  std::condition_variable m_queueCond;
  std::deque<Queued> m_queue;
};

// The fields that message, group and sync request bodies begin with: the own
// display name, the device type and the own profile version, each followed by ",".
std::string AddClientFields();
std::string ConcatStrings(const std::string& a, const std::string& b);

#endif
