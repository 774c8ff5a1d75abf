#include "services/TQRLoginThread.h"

#include <chrono>

#include "base/TAPIPacket.h"
#include "base/TAutoLock.h"
#include "base/TStopFlag.h"
#include "db/TDBManager.h"
#include "db/TSaveInfoType.h"
#include "net/THttpRequestService.h"
#include "net/TServerKeys.h"
#include "platform/clock.h"
#include "services/TFacadeLink.h"
#include "services/TLoginService.h"
#include "services/TServiceContext.h"
#include "services/TServiceDatabase.h"
#include "util/TJsonHelper.h"
#include "util/TStringCipher.h"

namespace {
bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}
}  // namespace

TQRLoginThread::TQRLoginThread() = default;

TQRLoginThread::~TQRLoginThread() { Shutdown(); }

TQRLoginThread& TQRLoginThread::Instance() {
  static TQRLoginThread* instance = new TQRLoginThread;
  return *instance;
}

uint64_t TQRLoginThread::Now() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_clock ? m_clock() : tesmo::TickCountMs();
}

void TQRLoginThread::SetClock(Clock clock) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_clock = std::move(clock);
}

void TQRLoginThread::SetPollSpacingMs(unsigned ms) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_pollSpacingMs = ms;
}

bool TQRLoginThread::IsRunning() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_running;
}

bool TQRLoginThread::IsCurrent(uint64_t generation) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_running && m_generation == generation;
}

void TQRLoginThread::JoinFinished() {
  std::list<std::unique_ptr<TBaseThread>> done;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_threads.begin(); it != m_threads.end();) {
      if (!(*it)->IsRunning()) {
        done.push_back(std::move(*it));
        it = m_threads.erase(it);
      } else {
        ++it;
      }
    }
  }
  // Destroying them joins threads whose loop has already returned.
}

int TQRLoginThread::Start(const std::string& key) {
  JoinFinished();
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_running) return 1;
  m_running = true;
  m_key = key;
  auto* start = new PollStart{this, ++m_generation, key};
  m_threads.push_back(std::make_unique<TBaseThread>(&TQRLoginThread::PollEntry, start));
  return 1;
}

void TQRLoginThread::Stop() {
  // Waits for a report in progress, so nothing of the stopped poll follows.
  TAutoLock report(TFacadeLink::CallbackMutex());
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_running = false;
    ++m_generation;
  }
  m_cond.notify_all();
}

void TQRLoginThread::Shutdown() {
  Stop();
  std::list<std::unique_ptr<TBaseThread>> threads;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    threads.swap(m_threads);
  }
  for (auto& t : threads) t->Join();
}

unsigned TQRLoginThread::PollEntry(void* arg) {
  std::unique_ptr<PollStart> start(static_cast<PollStart*>(arg));
  start->self->Poll(start->generation, start->key);
  return 0;
}

std::string TQRLoginThread::PollUrl(const std::string& key) {
  if (StartsWith(key, "http://") || StartsWith(key, "https://")) return key;
  TServiceContext* core = TServiceContext::Instance();
  THttpRequestService* service = core ? core->GetRequestService() : nullptr;
  if (!service) return std::string();
  return service->GetServerUrl(kPollPath, kUserServer) + key;
}

bool TQRLoginThread::ParsePollReply(const std::string& body, std::string* content,
                                    std::string* token) {
  if (body.empty()) return false;
  Json::Value root = TJsonHelper::Parse(body);
  if (!root.isObject() || TJsonHelper::GetInt(root, "code") != 1) return false;
  Json::Value result = TJsonHelper::GetValue(root, "result");
  if (!result.isObject()) return false;
  *content = TJsonHelper::GetString(result, "content");
  *token = TJsonHelper::GetString(result, "token");
  return !content->empty() && !token->empty();
}

bool TQRLoginThread::PollOnce(const std::string& key, std::string* content, std::string* token) {
  TServiceContext* core = TServiceContext::Instance();
  THttpRequestService* service = core ? core->GetRequestService() : nullptr;
  std::string url = PollUrl(key);
  if (!service || url.empty()) return false;
  int error = 0;
  std::string body = service->SyncGet(url, &error);
  std::string encrypted;
  if (!ParsePollReply(body, content, &encrypted)) return false;
  // A token that does not decrypt still confirms the scan; it just stores nothing.
  *token = DecryptString(encrypted);
  return true;
}

bool TQRLoginThread::Pause(uint64_t generation, unsigned ms) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_cond.wait_for(lock, std::chrono::milliseconds(ms),
                  [&] { return !m_running || m_generation != generation || IsEngineStopping(); });
  return m_running && m_generation == generation && !IsEngineStopping();
}

void TQRLoginThread::Report(int a, const std::string& text) {
  TFacadeLink* facade = TFacadeLink::Current();
  if (facade && !IsEngineStopping())
    facade->NotifyCallback(_EVENT_REPORT_QRLOGIN, a, 0, 0, text.c_str());
}

void TQRLoginThread::Poll(uint64_t generation, const std::string& key) {
  const uint64_t start = Now();
  while (IsCurrent(generation) && !IsEngineStopping()) {
    uint64_t now = Now();
    if (now >= start && now - start >= kPollLimitMs) break;
    const uint64_t began = tesmo::TickCountMs();
    std::string content;
    std::string token;
    if (PollOnce(key, &content, &token)) {
      TAutoLock report(TFacadeLink::CallbackMutex());
      if (!IsCurrent(generation)) return;
      if (!token.empty()) {
        TLoginService::SetRegistrationToken(token);
        if (TDBManager* db = ServiceDatabase())
          db->SetSaveInfo(kSaveInfoSession, "REGTOKEN", token);
      }
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_running = false;
      }
      Report(0, content);
      return;
    }
    unsigned spacing;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      spacing = m_pollSpacingMs;
    }
    const uint64_t spent = tesmo::TickCountMs() - began;
    if (spent < spacing && !Pause(generation, static_cast<unsigned>(spacing - spent))) return;
  }
  TAutoLock report(TFacadeLink::CallbackMutex());
  if (!IsCurrent(generation) || IsEngineStopping()) return;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_running = false;
  }
  Report(1, "");
}
