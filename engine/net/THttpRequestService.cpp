// The request queue, its four workers and the tables of who runs what.
#include "net/THttpRequestService.h"

#include <chrono>
#include <exception>

#include "base/TAPIPacket.h"
#include "base/TStopFlag.h"
#include "net/TBackgroundWorker.h"
#include "net/THttpClient.h"
#include "net/THttpsClient.h"
#include "net/TNetContext.h"
#include "platform/clock.h"

namespace {

constexpr int kQueuePollMs = 100;

struct WorkerStart {
  THttpRequestService* service;
  int index;
};

// Runs an executor so that no exception escapes the worker: a request whose
// executor throws is still answered, with kExecutorFault.
int RunExecutor(const THttpRequestService::Executor& executor, THttpRequestService& service,
                TAPIPacket* packet) {
  try {
    return executor(service, packet);
  } catch (const std::exception&) {
    return kExecutorFault;
  } catch (...) {
    return kExecutorFault;
  }
}

// The service's own requests, used unless an executor is registered for the code.
THttpRequestService::Executor BuiltInExecutor(int code) {
  switch (code) {
    case _REQUEST_HTTP_SENDGET:
      return [](THttpRequestService& service, TAPIPacket* p) { return service.Get(p, p->s1); };
    case _REQUEST_HTTP_SENDPOST:
      return
          [](THttpRequestService& service, TAPIPacket* p) { return service.Post(p, p->s1, p->s2); };
    default:
      return nullptr;
  }
}

}  // namespace

THttpRequestService::THttpRequestService(OwnerFunction owner) : m_owner(owner) {}

THttpRequestService::~THttpRequestService() { Stop(); }

int THttpRequestService::ResultOf(const TAPIPacket* packet) { return packet->a; }

void THttpRequestService::StoreExecutor(int code, Executor executor) {
  std::lock_guard<std::mutex> lock(m_tableMutex);
  if (executor)
    m_executors[code] = std::move(executor);
  else
    m_executors.erase(code);
}

THttpRequestService::Executor THttpRequestService::FindExecutor(int code) const {
  std::lock_guard<std::mutex> lock(m_tableMutex);
  auto it = m_executors.find(code);
  return it == m_executors.end() ? Executor() : it->second;
}

void THttpRequestService::SetEndedLogin(int code, TEndedLogin ended) {
  std::lock_guard<std::mutex> lock(m_tableMutex);
  m_endedLogin[code] = ended;
}

TEndedLogin THttpRequestService::GetEndedLogin(int code) const {
  std::lock_guard<std::mutex> lock(m_tableMutex);
  auto it = m_endedLogin.find(code);
  if (it != m_endedLogin.end()) return it->second;
  return code < kInternalCodeLimit ? TEndedLogin::Drop() : TEndedLogin::Run();
}

void THttpRequestService::SetReplyHooks(Interceptor interceptor, Router router) {
  std::lock_guard<std::mutex> lock(m_tableMutex);
  m_interceptor = std::move(interceptor);
  m_router = std::move(router);
}

void THttpRequestService::CopyReplyHooks(Interceptor* interceptor, Router* router) const {
  std::lock_guard<std::mutex> lock(m_tableMutex);
  *interceptor = m_interceptor;
  *router = m_router;
}

void THttpRequestService::SetBackgroundWorkerFactory(BackgroundWorkerFactory factory) {
  std::lock_guard<std::mutex> lock(m_tableMutex);
  m_backgroundFactory = std::move(factory);
}

THttpRequestService::BackgroundWorkerFactory THttpRequestService::GetBackgroundWorkerFactory()
    const {
  std::lock_guard<std::mutex> lock(m_tableMutex);
  return m_backgroundFactory;
}

int THttpRequestService::Start() {
  std::lock_guard<std::mutex> life(m_lifeMutex);
  if (m_running.load()) return 1;
  m_stop = false;
  CreateClients();

  BackgroundWorkerFactory factory = GetBackgroundWorkerFactory();
  if (factory) {
    std::unique_ptr<TBackgroundWorker> worker = factory(*this);
    if (worker) worker->Start();
    std::lock_guard<std::mutex> lock(m_backgroundMutex);
    m_background = std::move(worker);
  }
  m_running = 1;

  for (int i = 0; i < kWorkerCount; ++i) {
    m_alive[i] = 1;
    m_workers[i] =
        std::make_unique<TBaseThread>(&THttpRequestService::WorkerEntry, new WorkerStart{this, i});
  }
  return 1;
}

void THttpRequestService::Stop() {
  std::lock_guard<std::mutex> life(m_lifeMutex);
  {
    std::lock_guard<std::mutex> lock(m_queueMutex);
    m_stop = true;
  }
  m_queueCond.notify_all();
  for (auto& worker : m_workers) {
    if (worker) worker->Join();
    worker.reset();
  }
  std::unique_ptr<TBackgroundWorker> background;
  {
    std::lock_guard<std::mutex> lock(m_backgroundMutex);
    background.swap(m_background);
  }
  if (background) background->Stop();
  background.reset();
  // What is still queued is never answered; each packet is freed here, once.
  std::deque<Queued> left;
  {
    std::lock_guard<std::mutex> lock(m_queueMutex);
    left.swap(m_queue);
  }
  for (const Queued& q : left) delete q.packet;
  for (auto& client : m_plainClients) client.reset();
  for (auto& client : m_tlsClients) client.reset();
  m_running = 0;
}

void THttpRequestService::CreateClients() {
  const TNetContext* core = TNetContext::Instance();
  bool https = core && core->IsHttps();
  // The TLS context (OpenSSL set-up and the system's CA store) is made by the first
  // connection that needs it, on a worker thread, not here on the caller's thread.
  for (int slot = 0; slot < kClientSlots; ++slot) {
    m_plainClients[slot] = std::make_unique<THttpClient>();
    if (https) m_tlsClients[slot] = std::make_unique<THttpsClient>();
  }
}

void THttpRequestService::Enqueue(TAPIPacket* packet) {
  if (!packet) return;
  {
    std::lock_guard<std::mutex> lock(m_queueMutex);
    if (!m_stop) {
      try {
        m_queue.push_back({packet, TAccountScope::OfThread()});
        packet = nullptr;
      } catch (...) {
        // Out of memory: the packet is freed below, unanswered, like one queued at Stop.
      }
    }
  }
  if (packet) {
    delete packet;
    return;
  }
  m_queueCond.notify_one();
}

size_t THttpRequestService::QueuedCount() {
  std::lock_guard<std::mutex> lock(m_queueMutex);
  return m_queue.size();
}

bool THttpRequestService::IsWorkerAlive(int index) const {
  return index >= 0 && index < kWorkerCount && m_alive[index].load() != 0;
}

void THttpRequestService::RaiseEvent(int code, int a, int id, const std::string& text) {
  // Work of a login that is over tells the caller nothing more.
  if (TAccountScope::IsLoginOver()) return;
  TAPIPacket* packet = new TAPIPacket;
  packet->code = code;
  packet->a = a;
  packet->id = id;
  packet->s4 = text;
  Hand(packet);
}

void THttpRequestService::SetLoggedIn(int relogin) {
  std::lock_guard<std::mutex> lock(m_backgroundMutex);
  if (m_background) m_background->PostLoginTasks(relogin);
}

void THttpRequestService::Hand(TAPIPacket* packet) {
  if (m_owner)
    m_owner(packet);
  else
    delete packet;
}

unsigned THttpRequestService::WorkerEntry(void* arg) {
  WorkerStart* start = static_cast<WorkerStart*>(arg);
  THttpRequestService* self = start->service;
  int index = start->index;
  delete start;
  self->WorkerLoop(index);
  return 0;
}

bool THttpRequestService::Dequeue(Queued* next) {
  std::unique_lock<std::mutex> lock(m_queueMutex);
  m_queueCond.wait_for(lock, std::chrono::milliseconds(kQueuePollMs),
                       [this] { return m_stop.load() || !m_queue.empty(); });
  if (m_stop || m_queue.empty()) return false;
  *next = m_queue.front();
  m_queue.pop_front();
  return true;
}

void THttpRequestService::WorkerLoop(int index) {
  RaiseEvent(_EVENT_REPORT_RUN, 0, 0, "");
  while (m_running.load() && !m_stop.load()) {
    if (IsEngineStopping()) {
      m_running = 0;
      break;
    }
    Queued next{};
    if (!Dequeue(&next)) continue;
    next.packet->state = index;
    Execute(next.packet, next.stamp);
  }
  m_alive[index] = 0;
}

void THttpRequestService::Execute(TAPIPacket* packet, const TAccountScope::Stamp& stamp) {
  TAccountScope scope(stamp);
  const bool internal = packet->code < kInternalCodeLimit;
  const TEndedLogin ended = GetEndedLogin(packet->code);
  if (TAccountScope::IsLoginOver()) {
    // Dropped; internal work is never answered, whatever its rule says.
    if (ended.action == TEndedLogin::kDrop || (internal && ended.action == TEndedLogin::kAnswer)) {
      delete packet;
      return;
    }
    if (ended.action == TEndedLogin::kAnswer) {
      packet->a = ended.result;
      packet->s4.clear();
      Hand(packet);
      return;
    }
  }
  Executor executor = FindExecutor(packet->code);
  if (!executor) executor = BuiltInExecutor(packet->code);

  if (internal) {
    // Internal work is never answered: the packet ends here, once.
    if (executor) RunExecutor(executor, *this, packet);
    delete packet;
    return;
  }

  const uint64_t started = tesmo::TickCountMs();
  int result = 0;
  if (executor) {
    result = RunExecutor(executor, *this, packet);
    // A history fetch gets one more try before its single answer.
    if (result != 0 && packet->code == _REQUEST_HTTP_GETHISTORYMSG && !TAccountScope::IsLoginOver())
      result = RunExecutor(executor, *this, packet);
  }
  packet->a = result;
  if (packet->code == _REQUEST_HTTP_SENDGET || packet->code == _REQUEST_HTTP_SENDPOST)
    packet->b = static_cast<int>(tesmo::TickCountMs() - started);
  if (ended.action == TEndedLogin::kRunQuiet && TAccountScope::IsLoginOver()) {
    delete packet;
    return;
  }
  Hand(packet);
}
