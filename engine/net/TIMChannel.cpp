#include "net/TIMChannel.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "base/TStopFlag.h"
#include "net/TIMPacket.h"
#include "net/TIMServer.h"
#include "net/TTSResendCtrl.h"
#include "util/TTextCodec.h"
#include "util/TTextUtil.h"

namespace {

constexpr char kTooLength[] = "IM_CallBack: Message is too length.\n";
constexpr char kInvalidMessage[] = "Recv invalid message\n";
constexpr char kRequestMarker[] = "\"request\":";
constexpr char kResponseMarker[] = "\"response\":";
constexpr char kRecrouteMarker[] = "\"recroute\":";
constexpr char kRouteMarker[] = "\"route\":";
constexpr char kIdMarker[] = "\"id\":";
constexpr char kFromMarker[] = "\"from\":";

// The text between the first marker and the next ",", trimmed; "" when either is
// missing.
std::string ValueAfter(const std::string& text, const char* marker) {
  const size_t at = text.find(marker);
  if (at == std::string::npos) return std::string();
  const size_t start = at + std::strlen(marker);
  const size_t comma = text.find(',', start);
  if (comma == std::string::npos) return std::string();
  return Trim(text.substr(start, comma - start));
}

// A text ends at its first zero byte, as on the wire.
size_t TextLength(const std::string& text) { return std::strlen(text.c_str()); }

}  // namespace

TIMChannel::TIMChannel(ReceiveFunction receive)
    : m_receive(std::move(receive)),
      m_server(std::make_unique<TIMServer>(
          [this](const char* frame, int length, const std::string& host, int port) {
            IM_CallBack(frame, length, host, port);
          })) {}

TIMChannel::~TIMChannel() { Stop(); }

void TIMChannel::SetHook(TraceHook hook) {
  std::lock_guard<std::mutex> lock(m_hookMutex);
  m_hook = std::move(hook);
}

bool TIMChannel::SetServer(const std::string& host, int port) {
  {
    std::lock_guard<std::mutex> lock(m_serverMutex);
    m_serverHost = host;
    m_serverPort = port;
  }
  return m_server->SetPeer(host, port);
}

std::string TIMChannel::ServerHost() const {
  std::lock_guard<std::mutex> lock(m_serverMutex);
  return m_serverHost;
}

int TIMChannel::ServerPort() const {
  std::lock_guard<std::mutex> lock(m_serverMutex);
  return m_serverPort;
}

int TIMChannel::Start(int resend) {
  int expected = 0;
  if (!m_running.compare_exchange_strong(expected, 1)) return 1;
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  m_resendOn = resend;
  if (resend) {
    TTSResendCtrl::Options options;
    options.tickMs = m_resendTickMs;
    m_resend = std::make_unique<TTSResendCtrl>(
        m_resendPoolSize,
        [this](const std::string& text, const std::string& host, int port) {
          SendRaw(text, host, port);
        },
        options);
    std::lock_guard<std::mutex> lock(m_cacheMutex);
    m_cache = std::make_unique<RecvCache>(m_recvCacheSize);
  }
  {
    std::lock_guard<std::mutex> lock(m_queueMutex);
    m_stopping = false;
  }
  m_dispatch = std::make_unique<TBaseThread>(&TIMChannel::DispatchEntry, this);
  m_server->Start();
  return 1;
}

void TIMChannel::Stop() {
  {
    std::lock_guard<std::mutex> lock(m_queueMutex);
    m_stopping = true;
  }
  m_queueCond.notify_all();
  if (m_dispatch) m_dispatch->Join();
  if (m_resend) m_resend->Stop();
  m_server->Stop();
  m_running = 0;
}

void TIMChannel::Trace(const std::string& text, const std::string& host, int port, int direction) {
  TraceHook hook;
  {
    std::lock_guard<std::mutex> lock(m_hookMutex);
    hook = m_hook;
  }
  if (hook) hook(text, host, port, direction);
}

bool TIMChannel::FrameOrRefuse(const std::string& text, std::string* frame) {
  if (Frame(text, frame)) return true;
  AddStat(&Stats::refused);
  ConsolePrintf("TIMChannel: refused a text of %zu bytes (at most %zu fit one frame)\n",
                TextLength(text), kMaxFramedText);
  return false;
}

void TIMChannel::Transmit(const std::string& text, const std::string& frame,
                          const std::string& host, int port) {
  Trace(text, host, port, 0);
  m_server->SendTo(frame.data(), static_cast<int>(frame.size()), host, port);
}

int TIMChannel::SendRaw(const std::string& text, const std::string& host, int port) {
  std::string frame;
  if (!FrameOrRefuse(text, &frame)) return 0;
  Transmit(text, frame, host, port);
  return 1;
}

void TIMChannel::Track(const std::string& text, const std::string& host, int port) {
  int code = 0;
  const int kind = TextKind(text, &code);
  const std::string key = PacketKey(text);
  if (m_resend) m_resend->Add(text, key, host, port, kind);
  if (kind == TIMPacket::kResponse) {
    std::lock_guard<std::mutex> lock(m_cacheMutex);
    if (m_cache) {
      auto it = m_cache->codes.find(key);
      if (it != m_cache->codes.end()) it->second = code;
    }
  }
}

int TIMChannel::Send(const std::string& text, const std::string& host, int port) {
  std::string frame;
  if (!FrameOrRefuse(text, &frame)) return 0;
  // Tracked before it goes out: the answer may be received and dispatched before
  // sendto even returns, and it must find the request pending (and a repeated
  // request must find the code of a response already recorded).
  if (m_resendOn && !text.empty() && text[0] == '{') Track(text, host, port);
  Transmit(text, frame, host, port);
  return 1;
}

int TIMChannel::SetSocket(int socket, int port) { return m_server->SetSocket(socket, port); }

void TIMChannel::CloseSocket() { m_server->DropSocket(); }

void TIMChannel::IM_CallBack(const char* frame, int length, const std::string& host, int port) {
  (void)host;
  (void)port;
  if (!frame || length <= 0) return;
  AddStat(&Stats::framesReceived);
  std::string text;
  if (!Unframe(frame, static_cast<size_t>(length), &text)) {
    AddStat(&Stats::framesRejected);
    ConsolePrintf("%s", kTooLength);
    return;
  }
  if (static_cast<size_t>(length) > kShortTextMax) {
    TIMPacket packet;
    if (packet.Parse(text)) {
      // Every packet is acknowledged, responses included; the server relies on it.
      AddStat(&Stats::autoResponses);
      SendRaw(packet.MakeResponse(1, std::string()), ServerHost(), ServerPort());
    }
  }
  bool wasEmpty = false;
  {
    std::lock_guard<std::mutex> lock(m_queueMutex);
    if (m_queue.size() >= kMaxQueued) {
      AddStat(&Stats::queueDropped);
      ConsolePrintf("IM_CallBack: receive queue full, text dropped\n");
      return;
    }
    wasEmpty = m_queue.empty();
    m_queue.push_back({std::move(text), TAccountScope::CurrentLogin()});
  }
  // The dispatch thread waits only on an empty queue.
  if (wasEmpty) m_queueCond.notify_one();
}

unsigned TIMChannel::DispatchEntry(void* arg) {
  static_cast<TIMChannel*>(arg)->DispatchLoop();
  return 0;
}

void TIMChannel::DispatchLoop() {
  while (!IsEngineStopping()) {
    Received received;
    {
      std::unique_lock<std::mutex> lock(m_queueMutex);
      if (m_stopping) break;
      if (m_queue.empty()) {
        m_queueCond.wait_for(lock, std::chrono::milliseconds(kDispatchIdleMs),
                             [this] { return m_stopping || !m_queue.empty(); });
        continue;
      }
      received = std::move(m_queue.front());
      m_queue.pop_front();
    }
    Dispatch(received);
    AddStat(&Stats::dispatched);
    if (m_drain && QueuedCount() == 0) m_drain();
  }
  if (m_drain) m_drain();
}

void TIMChannel::Dispatch(const Received& received) {
  const std::string& text = received.text;
  const std::string host = ServerHost();
  const int port = ServerPort();
  Trace(text, host, port, 1);
  // Short texts are the connection's own (login verdicts, keep-alive answers), not
  // a login's pushes.
  if (TextLength(text) <= kShortTextMax) {
    Deliver(text, host, port);
    return;
  }
  TAccountScope scope(received.stamp);
  int code = 0;
  const int kind = TextKind(text, &code);
  const std::string key = PacketKey(text);
  if (kind == 0 || key.empty()) {
    AddStat(&Stats::invalidDropped);
    ConsolePrintf("%s", kInvalidMessage);
    return;
  }
  if (!m_resendOn) {
    Deliver(text, host, port);
    return;
  }
  if (m_resend) m_resend->Answer(key, kind);
  int recorded = 0;
  bool seen = false;
  {
    std::lock_guard<std::mutex> lock(m_cacheMutex);
    if (m_cache) {
      auto it = m_cache->codes.find(key);
      if (it != m_cache->codes.end()) {
        seen = true;
        recorded = it->second;
      } else {
        const size_t slot = m_cache->inserted % m_cache->ring.size();
        if (!m_cache->ring[slot].empty()) m_cache->codes.erase(m_cache->ring[slot]);
        m_cache->ring[slot] = key;
        m_cache->codes[key] = 0;
        ++m_cache->inserted;
      }
    }
  }
  if (!seen) {
    Deliver(text, host, port);
    return;
  }
  AddStat(&Stats::duplicates);
  if (kind == TIMPacket::kRequest) SendRaw(ResponseFromText(text, recorded), host, port);
}

void TIMChannel::Deliver(const std::string& text, const std::string& host, int port) {
  AddStat(&Stats::delivered);
  if (m_receive) m_receive(text, host, port);
}

int TIMChannel::ResendTick() { return m_resend ? m_resend->Tick() : 0; }

void TIMChannel::AddStat(uint64_t Stats::*field) {
  std::lock_guard<std::mutex> lock(m_statsMutex);
  ++(m_stats.*field);
}

TIMChannel::Stats TIMChannel::GetStats() const {
  std::lock_guard<std::mutex> lock(m_statsMutex);
  return m_stats;
}

size_t TIMChannel::QueuedCount() const {
  std::lock_guard<std::mutex> lock(m_queueMutex);
  return m_queue.size();
}

uint32_t TIMChannel::Checksum(const char* text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  if (!bytes || bytes[0] == 0) return 0;
  uint32_t sum = 0;
  for (size_t i = 1; bytes[i] != 0; ++i) sum += bytes[i];
  return sum - bytes[0];
}

bool TIMChannel::Frame(const std::string& text, std::string* frame) {
  frame->clear();
  const size_t n = TextLength(text);
  if (n > kMaxFramedText) return false;
  if (n <= kShortTextMax) {
    frame->reserve(n);
    for (size_t i = 0; i < n; ++i) frame->push_back(static_cast<char>(~text[i]));
    return true;
  }
  const uint32_t sum = Checksum(text.c_str());
  frame->reserve(n + kFrameHeader);
  frame->push_back('0');
  frame->push_back('1');
  for (int shift = 0; shift < 32; shift += 8) {
    frame->push_back(static_cast<char>((sum >> shift) & 0xFF));
  }
  for (size_t i = 0; i < n; ++i) frame->push_back(static_cast<char>(~text[i]));
  return true;
}

bool TIMChannel::Unframe(const char* frame, size_t length, std::string* text) {
  text->clear();
  if (!frame || length >= kMaxFrame) return false;
  const auto* bytes = reinterpret_cast<const unsigned char*>(frame);
  if (length <= kShortTextMax) {
    for (size_t i = 0; i < length; ++i) text->push_back(static_cast<char>(~bytes[i]));
  } else {
    uint32_t expected = 0;
    for (int i = 0; i < 4; ++i) expected |= static_cast<uint32_t>(bytes[2 + i]) << (8 * i);
    for (size_t i = kFrameHeader; i < length; ++i) {
      text->push_back(static_cast<char>(~bytes[i]));
    }
    // A zero byte would end the text early and leave the rest unchecked; no text
    // the protocol sends contains one.
    if (text->find('\0') != std::string::npos || Checksum(text->c_str()) != expected) {
      text->clear();
      return false;
    }
  }
  // The text ends at its first zero byte, as it would in a C buffer.
  text->resize(TextLength(*text));
  return true;
}

int TIMChannel::TextKind(const std::string& text, int* code) {
  if (code) *code = 0;
  if (text.find(kRequestMarker) != std::string::npos) return TIMPacket::kRequest;
  const size_t at = text.find(kResponseMarker);
  if (at == std::string::npos) return 0;
  if (code) *code = std::atoi(text.c_str() + at + std::strlen(kResponseMarker));
  return TIMPacket::kResponse;
}

std::string TIMChannel::PacketKey(const std::string& text) {
  const std::string id = ValueAfter(text, kIdMarker);
  const std::string from = ValueAfter(text, kFromMarker);
  if (id.empty() || from.empty()) return std::string();
  return id + from;
}

std::string TIMChannel::ResponseFromText(const std::string& text, int code) {
  const size_t at = text.find(kRequestMarker);
  if (at == std::string::npos) return std::string();
  std::string out = text.substr(0, at) + kResponseMarker;
  const size_t valueStart = at + std::strlen(kRequestMarker);
  const size_t comma = text.find(',', valueStart);
  if (comma == std::string::npos) {
    out += text.substr(valueStart);
  } else {
    out += std::to_string(code) + text.substr(comma);
  }
  const size_t recroute = out.find(kRecrouteMarker);
  if (recroute != std::string::npos) {
    out = out.substr(0, recroute) + kRouteMarker +
          out.substr(recroute + std::strlen(kRecrouteMarker));
  }
  return out;
}
