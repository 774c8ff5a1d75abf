#include "net/THttpRequestService.h"

#include <chrono>

#include "TAPIInterface.h"
#include "core/TStopFlag.h"

namespace {

std::mutex& ExecutorMutex() {
  static std::mutex m;
  return m;
}

std::map<int, THttpRequestService::Executor>& Executors() {
  static std::map<int, THttpRequestService::Executor> table;
  return table;
}

struct WorkerStart {
  THttpRequestService* service;
  int index;
};

constexpr int kQueuePollMs = 100;

}  // namespace

THttpRequestService::THttpRequestService(OwnerFunction owner) : m_owner(owner) {}

THttpRequestService::~THttpRequestService() { Stop(); }

void THttpRequestService::RegisterExecutor(int code, Executor executor) {
  std::lock_guard<std::mutex> lock(ExecutorMutex());
  Executors()[code] = std::move(executor);
}

int THttpRequestService::Start() {
  int expected = 0;
  if (!m_running.compare_exchange_strong(expected, 1)) return 1;
  m_stop = false;
  for (int i = 0; i < kWorkerCount; ++i) {
    m_alive[i] = 1;
    m_workers[i] = std::make_unique<TBaseThread>(&THttpRequestService::WorkerEntry,
                                                 new WorkerStart{this, i});
  }
  return 1;
}

void THttpRequestService::Stop() {
  m_stop = true;
  m_queueCond.notify_all();
  for (auto& worker : m_workers) {
    if (worker) worker->Join();
    worker.reset();
  }
  std::deque<TAPIPacket*> left;
  {
    std::lock_guard<std::mutex> lock(m_queueMutex);
    left.swap(m_queue);
  }
  for (TAPIPacket* p : left) delete p;
  m_running = 0;
}

void THttpRequestService::Enqueue(TAPIPacket* packet) {
  if (!packet) return;
  {
    std::lock_guard<std::mutex> lock(m_queueMutex);
    if (!m_stop) {
      m_queue.push_back(packet);
      packet = nullptr;
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

void THttpRequestService::RaiseEvent(int code, int a, int id, const std::string& text) {
  TAPIPacket* packet = new TAPIPacket;
  packet->code = code;
  packet->a = a;
  packet->id = id;
  packet->s4 = text;
  if (m_owner)
    m_owner(packet);
  else
    delete packet;
}

void THttpRequestService::SetLoggedIn(int relogin) { (void)relogin; }

unsigned THttpRequestService::WorkerEntry(void* arg) {
  WorkerStart* start = static_cast<WorkerStart*>(arg);
  THttpRequestService* self = start->service;
  int index = start->index;
  delete start;
  self->WorkerLoop(index);
  return 0;
}

TAPIPacket* THttpRequestService::Dequeue() {
  std::unique_lock<std::mutex> lock(m_queueMutex);
  m_queueCond.wait_for(lock, std::chrono::milliseconds(kQueuePollMs),
                       [this] { return m_stop.load() || !m_queue.empty(); });
  if (m_stop || m_queue.empty()) return nullptr;
  TAPIPacket* packet = m_queue.front();
  m_queue.pop_front();
  return packet;
}

void THttpRequestService::WorkerLoop(int index) {
  RaiseEvent(_EVENT_REPORT_RUN, 0, 0, "");
  while (!m_stop && !IsEngineStopping()) {
    TAPIPacket* packet = Dequeue();
    if (!packet) continue;
    packet->state = index;
    Execute(packet);
  }
  m_alive[index] = 0;
}

void THttpRequestService::Execute(TAPIPacket* packet) {
  Executor executor;
  {
    std::lock_guard<std::mutex> lock(ExecutorMutex());
    auto it = Executors().find(packet->code);
    if (it != Executors().end()) executor = it->second;
  }
  if (executor) {
    executor(*this, packet);
  } else {
    packet->a = 0;
  }
  if (m_owner)
    m_owner(packet);
  else
    delete packet;
}
