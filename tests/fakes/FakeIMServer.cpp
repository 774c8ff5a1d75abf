#include "fakes/FakeIMServer.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

constexpr size_t kShortMax = 10;
constexpr size_t kHeader = 6;

sockaddr_in Loopback(int port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return addr;
}

std::string Quote(const std::string& text) { return Json::valueToQuotedString(text.c_str()); }

// The checksum of a text: every byte after the first added up, the first taken
// away, counted up to the first zero byte, modulo 2^32.
uint32_t TextSum(const std::string& text) {
  uint32_t sum = 0;
  size_t end = text.find('\0');
  if (end == std::string::npos) end = text.size();
  if (end == 0) return 0;
  for (size_t i = 1; i < end; ++i) sum += static_cast<unsigned char>(text[i]);
  return sum - static_cast<unsigned char>(text[0]);
}

std::string Flip(const std::string& in, size_t from) {
  std::string out;
  for (size_t i = from; i < in.size(); ++i) out += static_cast<char>(in[i] ^ 0xFF);
  return out;
}

}  // namespace

FakeIMServer::FakeIMServer(int port) {
  m_shortHandler = [](const std::string& text) {
    return text == "o" ? std::vector<std::string>{"o"} : std::vector<std::string>{};
  };
  m_socket = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in addr = Loopback(port);
  if (m_socket >= 0 && bind(m_socket, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0) {
    socklen_t len = sizeof(addr);
    getsockname(m_socket, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    int size = 1 << 20;
    setsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, &size, sizeof(size));
  } else if (m_socket >= 0) {
    close(m_socket);
    m_socket = -1;
  }
  m_thread = std::thread([this] { Run(); });
}

FakeIMServer::~FakeIMServer() {
  m_stop = true;
  if (m_thread.joinable()) m_thread.join();
  if (m_socket >= 0) close(m_socket);
}

void FakeIMServer::SetClient(const std::string& host, int port) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_client = Loopback(port);
  inet_pton(AF_INET, host.c_str(), &m_client.sin_addr);
  m_clientFixed = true;
  m_hasClient = true;
}

int FakeIMServer::ClientPort() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_hasClient ? ntohs(m_client.sin_port) : 0;
}

void FakeIMServer::SetResponder(Responder responder) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_responder = std::move(responder);
}

void FakeIMServer::SetShortHandler(ShortHandler handler) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_shortHandler = std::move(handler);
}

void FakeIMServer::SetTextHandler(TextHandler handler) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_textHandler = std::move(handler);
}

void FakeIMServer::SetLoss(double rate, uint32_t seed) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_lossRate = rate;
  m_lossSeed = seed;
  m_lossSeen.clear();
}

int64_t FakeIMServer::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool FakeIMServer::LoseLocked(char direction, const std::string& bytes) {
  if (m_lossRate <= 0) return false;
  const std::string seenKey = direction + bytes;
  const int occurrence = m_lossSeen[seenKey]++;
  std::seed_seq seq{static_cast<uint32_t>(m_lossSeed), static_cast<uint32_t>(occurrence),
                    static_cast<uint32_t>(std::hash<std::string>{}(seenKey))};
  std::mt19937 gen(seq);
  return std::uniform_real_distribution<double>(0.0, 1.0)(gen) < m_lossRate;
}

FakeIMServer::Record FakeIMServer::Decode(const std::string& bytes, const sockaddr_in& peer) {
  Record r;
  r.bytes = bytes;
  char host[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &peer.sin_addr, host, sizeof(host));
  r.host = host;
  r.port = ntohs(peer.sin_port);
  r.framed = Unframe(bytes, &r.text);
  if (!r.framed) return r;
  if (r.text.size() <= kShortMax) {
    r.kind = kShort;
    return r;
  }
  Json::CharReaderBuilder builder;
  std::string errors;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  if (!reader->parse(r.text.data(), r.text.data() + r.text.size(), &root, &errors) ||
      !root.isObject()) {
    return r;
  }
  r.json = root;
  if (root.isMember("request")) {
    r.kind = kRequest;
  } else if (root.isMember("response")) {
    r.kind = kResponse;
    r.code = root["response"].isInt() ? root["response"].asInt() : 0;
  }
  const Json::Value id = root.get("id", Json::Value());
  const Json::Value from = root.get("from", Json::Value());
  if (id.isString() && from.isString()) r.key = id.asString() + "|" + from.asString();
  return r;
}

void FakeIMServer::Run() {
  std::vector<char> buffer(70000);
  while (!m_stop) {
    int timeout = 10;
    std::vector<Scheduled> due;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      const int64_t now = NowMs();
      for (auto it = m_scheduled.begin(); it != m_scheduled.end();) {
        if (it->dueMs <= now) {
          due.push_back(*it);
          it = m_scheduled.erase(it);
        } else {
          timeout = std::min<int>(timeout, static_cast<int>(it->dueMs - now));
          ++it;
        }
      }
      for (const Scheduled& s : due) {
        sendto(m_socket, s.bytes.data(), s.bytes.size(), 0,
               reinterpret_cast<const sockaddr*>(&s.to), sizeof(s.to));
        RecordSentLocked(s.bytes, s.to, false);
      }
    }
    if (!due.empty()) m_changed.notify_all();
    pollfd entry{m_socket, POLLIN, 0};
    if (poll(&entry, 1, std::max(timeout, 1)) <= 0) continue;
    sockaddr_in from{};
    socklen_t len = sizeof(from);
    const ssize_t n = recvfrom(m_socket, buffer.data(), buffer.size(), MSG_DONTWAIT,
                               reinterpret_cast<sockaddr*>(&from), &len);
    if (n < 0) continue;
    HandleDatagram(std::string(buffer.data(), static_cast<size_t>(n)), from);
    m_changed.notify_all();
  }
}

void FakeIMServer::HandleDatagram(const std::string& bytes, const sockaddr_in& from) {
  // Counted on every way out, after any answer was sent or scheduled.
  struct HandledMark {
    FakeIMServer* server;
    ~HandledMark() {
      std::lock_guard<std::mutex> lock(server->m_mutex);
      ++server->m_handledCount;
    }
  } handled{this};
  Record r = Decode(bytes, from);
  Responder responder;
  ShortHandler shortHandler;
  TextHandler textHandler;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    r.dropped = LoseLocked('<', bytes);
    m_received.push_back(r);
    ++m_receivedCount;
    TrimLocked();
    if (r.dropped) return;
    if (!m_clientFixed) {
      m_client = from;
      m_hasClient = true;
    }
    if (r.kind == kResponse) {
      auto it = m_pushes.find(r.key);
      if (it != m_pushes.end()) it->second.acked = true;
      return;
    }
    if (r.kind == kShort) {
      shortHandler = m_shortHandler;
    } else if (r.kind == kRequest) {
      responder = m_responder;
    } else if (r.kind == kOther && r.framed && m_textHandler) {
      textHandler = m_textHandler;
    } else {
      return;
    }
  }
  if (textHandler) {
    try {
      textHandler(r);
    } catch (...) {
    }
    return;
  }
  // Handlers run without the lock, so they may look at the records or push. One that
  // throws on a hostile packet loses that packet only.
  if (r.kind == kShort) {
    if (!shortHandler) return;
    std::vector<std::string> replies;
    try {
      replies = shortHandler(r.text);
    } catch (...) {
      return;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const std::string& reply : replies) SendLocked(Frame(reply), from, 0);
    return;
  }
  Reply reply;
  try {
    if (responder) reply = responder(r);
  } catch (...) {
    return;
  }
  if (!reply.answer) return;
  const std::string response = Frame(ResponseText(r.json, reply.code));
  std::lock_guard<std::mutex> lock(m_mutex);
  for (int i = 0; i < reply.copies; ++i) SendLocked(response, from, reply.delayMs);
  for (const std::string& text : reply.texts) SendLocked(Frame(text), from, reply.delayMs);
}

void FakeIMServer::RecordSentLocked(const std::string& bytes, const sockaddr_in& to, bool dropped) {
  Record r = Decode(bytes, to);
  r.dropped = dropped;
  m_sent.push_back(r);
  if (!dropped) ++m_sentCount;
}

void FakeIMServer::SendLocked(const std::string& bytes, const sockaddr_in& to, int delayMs) {
  if (LoseLocked('>', bytes)) {
    RecordSentLocked(bytes, to, true);
    return;
  }
  if (delayMs > 0) {
    m_scheduled.push_back({NowMs() + delayMs, bytes, to});
    return;
  }
  sendto(m_socket, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
         sizeof(to));
  RecordSentLocked(bytes, to, false);
}

void FakeIMServer::Push(const std::string& text, int copies) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    PushLocked(text, nullptr, copies);
  }
  m_changed.notify_all();
}

void FakeIMServer::PushTo(const std::string& text, const std::string& host, int port) {
  sockaddr_in to = Loopback(port);
  if (inet_pton(AF_INET, host.c_str(), &to.sin_addr) != 1) return;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    PushLocked(text, &to, 1);
  }
  m_changed.notify_all();
}

void FakeIMServer::PushLocked(const std::string& text, const sockaddr_in* to, int copies) {
  const sockaddr_in target = to ? *to : m_client;
  const std::string bytes = Frame(text);
  const Record r = Decode(bytes, target);
  if (r.kind == kRequest && !r.key.empty() && !m_pushes.count(r.key)) {
    m_pushes[r.key] = PushState{text, to != nullptr, target, false};
    m_pushOrder.push_back(r.key);
  }
  for (int i = 0; i < copies; ++i) SendLocked(bytes, target, 0);
  TrimLocked();
}

void FakeIMServer::SetRecordLimit(size_t limit) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_recordLimit = limit;
  TrimLocked();
}

void FakeIMServer::TrimLocked() {
  if (m_recordLimit == 0) return;
  auto trim = [this](std::vector<Record>& records) {
    if (records.size() > m_recordLimit)
      records.erase(records.begin(), records.end() - static_cast<long>(m_recordLimit));
  };
  trim(m_received);
  trim(m_sent);
  if (m_pushOrder.size() > m_recordLimit) {
    const size_t drop = m_pushOrder.size() - m_recordLimit;
    for (size_t i = 0; i < drop; ++i) m_pushes.erase(m_pushOrder[i]);
    m_pushOrder.erase(m_pushOrder.begin(), m_pushOrder.begin() + static_cast<long>(drop));
  }
}

int FakeIMServer::ResendUnacked() {
  int count = 0;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const std::string& key : m_pushOrder) {
      const PushState& state = m_pushes[key];
      if (state.acked) continue;
      SendLocked(Frame(state.text), state.addressed ? state.to : m_client, 0);
      ++count;
    }
  }
  m_changed.notify_all();
  return count;
}

void FakeIMServer::SendBytes(const std::string& bytes) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    SendLocked(bytes, m_client, 0);
  }
  m_changed.notify_all();
}

void FakeIMServer::SendBadChecksum(const std::string& text) {
  std::string bytes = Frame(text);
  if (bytes.size() > kShortMax) bytes[2] = static_cast<char>(bytes[2] + 1);
  SendBytes(bytes);
}

void FakeIMServer::SendOversize(size_t size) {
  std::string bytes = "01";
  bytes.resize(size, 'x');
  SendBytes(bytes);
}

void FakeIMServer::SendFromForeignPort(const std::string& bytes) {
  sockaddr_in to{};
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    to = m_client;
  }
  const int sock = socket(AF_INET, SOCK_DGRAM, 0);
  if (sock < 0) return;
  sockaddr_in local = Loopback(0);
  bind(sock, reinterpret_cast<sockaddr*>(&local), sizeof(local));
  sendto(sock, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to));
  close(sock);
}

std::vector<FakeIMServer::Record> FakeIMServer::Received() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_received;
}

std::vector<FakeIMServer::Record> FakeIMServer::Sent() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_sent;
}

size_t FakeIMServer::ReceivedCount() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_receivedCount;
}

size_t FakeIMServer::HandledCount() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_handledCount;
}

size_t FakeIMServer::SentCount() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_sentCount;
}

size_t FakeIMServer::CountReceived(int kind) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return static_cast<size_t>(std::count_if(m_received.begin(), m_received.end(),
                                           [kind](const Record& r) { return r.kind == kind; }));
}

size_t FakeIMServer::ScheduledCount() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_scheduled.size();
}

size_t FakeIMServer::UnackedCount() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  size_t count = 0;
  for (const auto& entry : m_pushes) count += entry.second.acked ? 0 : 1;
  return count;
}

void FakeIMServer::ClearRecords() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_received.clear();
  m_sent.clear();
}

bool FakeIMServer::WaitFor(const std::function<bool()>& cond, int timeoutMs) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!cond()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::milliseconds(5));
  }
  return true;
}

std::string FakeIMServer::Frame(const std::string& text) {
  if (text.size() <= kShortMax) return Flip(text, 0);
  const uint32_t sum = TextSum(text);
  std::string out = "01";
  out += static_cast<char>(sum & 0xFF);
  out += static_cast<char>((sum >> 8) & 0xFF);
  out += static_cast<char>((sum >> 16) & 0xFF);
  out += static_cast<char>((sum >> 24) & 0xFF);
  return out + Flip(text, 0);
}

bool FakeIMServer::Unframe(const std::string& bytes, std::string* text) {
  if (bytes.size() <= kShortMax) {
    *text = Flip(bytes, 0);
    return true;
  }
  *text = Flip(bytes, kHeader);
  const uint32_t want = static_cast<uint32_t>(static_cast<unsigned char>(bytes[2])) |
                        static_cast<uint32_t>(static_cast<unsigned char>(bytes[3])) << 8 |
                        static_cast<uint32_t>(static_cast<unsigned char>(bytes[4])) << 16 |
                        static_cast<uint32_t>(static_cast<unsigned char>(bytes[5])) << 24;
  return TextSum(*text) == want;
}

std::string FakeIMServer::RequestText(const std::string& id, const std::string& from,
                                      const std::string& to, const std::string& method,
                                      const std::string& contentType, const Params& params,
                                      const std::string& recroute) {
  // Written without blanks, unlike the engine, so both spellings get exercised.
  std::string out = "{\"request\":1,\"id\":" + Quote(id) + ",\"transid\":" + Quote(NewId()) +
                    ",\"from\":" + Quote(from) + ",\"to\":" + Quote(to) +
                    ",\"method\":" + Quote(method);
  if (!recroute.empty()) out += ",\"recroute\":" + Quote(recroute);
  if (!contentType.empty()) out += ",\"contenttype\":" + Quote(contentType);
  if (!params.empty()) {
    out += ",\"params\":{";
    for (size_t i = 0; i < params.size(); ++i) {
      out += (i ? "," : "") + Quote(params[i].first) + ":" + Quote(params[i].second);
    }
    out += "}";
  }
  return out + "}";
}

std::string FakeIMServer::ResponseText(const Json::Value& request, int code) {
  auto text = [&request](const char* name) {
    const Json::Value v = request.get(name, Json::Value());
    return v.isString() ? v.asString() : std::string();
  };
  std::string out = "{\"response\":" + std::to_string(code) + ",\"id\":" + Quote(text("id")) +
                    ",\"transid\":" + Quote(text("transid")) + ",\"from\":" + Quote(text("from")) +
                    ",\"to\":" + Quote(text("to")) + ",\"method\":" + Quote(text("method"));
  if (!text("recroute").empty()) out += ",\"route\":" + Quote(text("recroute"));
  return out + "}";
}

std::string FakeIMServer::ChatPacket(const std::string& from, const std::string& to,
                                     const std::string& msgType, const Params& params) {
  Params all{{"msgtype", msgType}};
  all.insert(all.end(), params.begin(), params.end());
  return RequestText(NewId(), from, to, "message", "im", all);
}

std::string FakeIMServer::SysPacket(const std::string& to, const std::string& msgType,
                                    const Params& params) {
  Params all{{"msgtype", msgType}};
  all.insert(all.end(), params.begin(), params.end());
  return RequestText(NewId(), "system@im", to, "message", "sys", all);
}

std::string FakeIMServer::NewId() {
  // A client remembers the packets it saw by id: a server started again must not
  // repeat the ids of its earlier run, so each run numbers under its own prefix.
  static const std::string run = [] {
    char text[16];
    std::snprintf(text, sizeof(text), "%08x", static_cast<unsigned>(std::random_device{}()));
    return std::string(text);
  }();
  static std::atomic<uint64_t> counter{0};
  return "s" + run + "-" + std::to_string(++counter);
}
