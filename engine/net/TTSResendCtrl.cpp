#include "net/TTSResendCtrl.h"

#include <chrono>

#include "base/TStopFlag.h"
#include "util/TTextCodec.h"

namespace {
// The position wraps at a multiple of the slot count, so the slot sequence runs on
// without a jump when it wraps and no pending request waits an extra round.
constexpr uint32_t kPositionWrap = 100000 / TTSResendCtrl::kWheelSlots * TTSResendCtrl::kWheelSlots;
// The tick thread looks at the engine's stop flag at least this often.
constexpr unsigned kStopPollMs = 100;
}  // namespace

TTSResendCtrl::TTSResendCtrl(int poolSize, SendFunction send)
    : TTSResendCtrl(poolSize, std::move(send), Options()) {}

TTSResendCtrl::TTSResendCtrl(int poolSize, SendFunction send, Options options)
    : m_poolSize(poolSize > 0 ? poolSize : kDefaultPoolSize),
      m_send(std::move(send)),
      m_tickMs(options.tickMs),
      m_position(options.startPosition % kPositionWrap) {
  m_pool.reserve(m_poolSize);
  m_free.reserve(m_poolSize);
  for (int i = 0; i < m_poolSize; ++i) {
    m_pool.push_back(std::make_unique<Record>());
  }
  // Taken from the back: records are used in pool order.
  for (int i = m_poolSize - 1; i >= 0; --i) m_free.push_back(m_pool[i].get());
  if (m_tickMs > 0) m_thread = std::make_unique<TBaseThread>(&TTSResendCtrl::TickEntry, this);
}

TTSResendCtrl::~TTSResendCtrl() { Stop(); }

void TTSResendCtrl::Stop() {
  {
    std::lock_guard<std::mutex> lock(m_stopMutex);
    m_stopping = true;
  }
  m_stopCond.notify_all();
  if (m_thread) m_thread->Join();
}

bool TTSResendCtrl::Add(const std::string& text, const std::string& key, const std::string& host,
                        int port, int kind) {
  if (kind != 1) return false;
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_free.empty()) {
    ConsolePrintf("TTSResendCtrl:No free data\n");
    return false;
  }
  Record* record = m_free.back();
  m_free.pop_back();
  record->key = key;
  record->host = host;
  record->port = port;
  record->tries = 0;
  record->answered = 0;
  record->text = text;
  m_pending[key] = record;
  m_wheel[(m_position + kFirstCheckTicks) % kWheelSlots].push_back(record);
  return true;
}

void TTSResendCtrl::Answer(const std::string& key, int kind) {
  if (kind != 2) return;
  std::lock_guard<std::mutex> lock(m_mutex);
  auto it = m_pending.find(key);
  if (it != m_pending.end()) it->second->answered = 1;
}

void TTSResendCtrl::FreeRecord(Record* record) {
  auto it = m_pending.find(record->key);
  if (it != m_pending.end() && it->second == record) m_pending.erase(it);
  record->text.clear();
  m_free.push_back(record);
}

int TTSResendCtrl::Tick() {
  std::vector<Resend> resends;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::list<Record*>& slot = m_wheel[m_position % kWheelSlots];
    std::list<Record*>& next = m_wheel[(m_position + kCheckIntervalTicks) % kWheelSlots];
    for (Record* record : slot) {
      if (record->answered) {
        ++m_answered;
        FreeRecord(record);
        continue;
      }
      ++record->tries;
      if (record->tries < kMaxChecks) {
        resends.push_back({record->text, record->host, record->port});
        next.push_back(record);
      } else {
        ++m_givenUp;
        FreeRecord(record);
      }
    }
    slot.clear();
    m_position = (m_position + 1) % kPositionWrap;
    m_resent += resends.size();
  }
  if (m_send) {
    for (const Resend& r : resends) m_send(r.text, r.host, r.port);
  }
  return static_cast<int>(resends.size());
}

unsigned TTSResendCtrl::TickEntry(void* arg) {
  static_cast<TTSResendCtrl*>(arg)->TickLoop();
  return 0;
}

void TTSResendCtrl::TickLoop() {
  using Clock = std::chrono::steady_clock;
  Clock::time_point last = Clock::now();
  for (;;) {
    const Clock::time_point due = last + std::chrono::milliseconds(m_tickMs);
    {
      std::unique_lock<std::mutex> lock(m_stopMutex);
      while (!m_stopping && !IsEngineStopping() && Clock::now() < due) {
        auto wait =
            std::min<Clock::duration>(due - Clock::now(), std::chrono::milliseconds(kStopPollMs));
        m_stopCond.wait_for(lock, wait);
      }
      if (m_stopping || IsEngineStopping()) return;
    }
    last = Clock::now();
    Tick();
  }
}

int TTSResendCtrl::PendingCount() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_poolSize - static_cast<int>(m_free.size());
}

int TTSResendCtrl::FreeCount() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return static_cast<int>(m_free.size());
}

uint64_t TTSResendCtrl::ResentCount() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_resent;
}

uint64_t TTSResendCtrl::GivenUpCount() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_givenUp;
}

uint64_t TTSResendCtrl::AnsweredCount() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_answered;
}

uint32_t TTSResendCtrl::Position() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_position;
}
