#include "fakes/FakeFileStore.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace {

constexpr int kHeaderSize = 10;
constexpr int kTrackerBodySize = 40;
constexpr int kCmdTrackerQuery = 101;
constexpr int kCmdStorageUpload = 11;
constexpr int kCmdResponse = 100;
constexpr int kIdleLimitMs = 30000;
constexpr uint64_t kMaxUpload = 256ull << 20;

void PutBe64(unsigned char* p, uint64_t v) {
  for (int i = 7; i >= 0; --i) {
    p[i] = static_cast<unsigned char>(v & 0xFF);
    v >>= 8;
  }
}

uint64_t GetBe64(const unsigned char* p) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
  return v;
}

// Reads exactly n bytes; false on close, error, stop or 30 s without data.
bool ReadFull(int sock, void* buf, size_t n, const std::atomic<bool>& stop) {
  char* p = static_cast<char*>(buf);
  int idle = 0;
  while (n > 0) {
    if (stop) return false;
    pollfd pfd{sock, POLLIN, 0};
    int r = poll(&pfd, 1, 100);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return false;
    if (r == 0) {
      idle += 100;
      if (idle >= kIdleLimitMs) return false;
      continue;
    }
    ssize_t got = recv(sock, p, n, 0);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) return false;
    p += got;
    n -= static_cast<size_t>(got);
    idle = 0;
  }
  return true;
}

bool WriteFull(int sock, const void* buf, size_t n) {
  const char* p = static_cast<const char*>(buf);
  while (n > 0) {
    ssize_t sent = send(sock, p, n, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    p += sent;
    n -= static_cast<size_t>(sent);
  }
  return true;
}

bool WriteString(int sock, const std::string& bytes) {
  return WriteFull(sock, bytes.data(), bytes.size());
}

std::string Header(uint64_t length, int status) {
  unsigned char h[kHeaderSize] = {};
  PutBe64(h, length);
  h[8] = kCmdResponse;
  h[9] = static_cast<unsigned char>(status);
  return std::string(reinterpret_cast<char*>(h), kHeaderSize);
}

// The text copied into a field of width bytes, zero-padded, cut when longer.
std::string Field(const std::string& text, size_t width) {
  std::string f = text.substr(0, width);
  f.resize(width, '\0');
  return f;
}

int BoundPort(int sock) {
  if (sock < 0) return 0;
  sockaddr_in addr{};
  socklen_t len = sizeof(addr);
  getsockname(sock, reinterpret_cast<sockaddr*>(&addr), &len);
  return ntohs(addr.sin_port);
}

}  // namespace

FakeFileStore::FakeFileStore(bool smallStorageBuffer, int trackerPort, int storagePort) {
  m_trackerListen = Listen(false, trackerPort);
  m_storageListen = Listen(smallStorageBuffer, storagePort);
  m_trackerPort = BoundPort(m_trackerListen);
  m_storagePort = BoundPort(m_storageListen);
  m_advertisedPort = m_storagePort;
  m_trackerThread = std::thread([this] { TrackerLoop(); });
  m_storageThread = std::thread([this] { StorageLoop(); });
}

FakeFileStore::~FakeFileStore() {
  m_stop = true;
  if (m_trackerThread.joinable()) m_trackerThread.join();
  if (m_storageThread.joinable()) m_storageThread.join();
  if (m_trackerListen >= 0) close(m_trackerListen);
  if (m_storageListen >= 0) close(m_storageListen);
}

int FakeFileStore::Listen(bool smallBuffer, int port) {
  int sock = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (sock < 0) return -1;
  int one = 1;
  setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
  if (smallBuffer) {
    // Set before listen so accepted sockets start with it (and a small window).
    int size = 4096;
    setsockopt(sock, SOL_SOCKET, SO_RCVBUF, &size, sizeof(size));
  }
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  // A socket that listens unbound would take any port: a taken one must show.
  if (bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 || listen(sock, 16) != 0) {
    close(sock);
    return -1;
  }
  return sock;
}

std::string FakeFileStore::TrackerAddress() const {
  return "127.0.0.1:" + std::to_string(m_trackerPort);
}

int FakeFileStore::ClosedPort() {
  int sock = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
  int port = BoundPort(sock);
  close(sock);  // bound but never listening: connects are refused
  return port;
}

void FakeFileStore::SetTrackerFault(TrackerFault fault) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_trackerFault = fault;
}

void FakeFileStore::SetStorageFault(StorageFault fault) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_storageFault = fault;
}

void FakeFileStore::SetGroupName(const std::string& group) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_group = group;
}

void FakeFileStore::SetStorageIpField(const std::string& ip) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_ipField = ip;
}

void FakeFileStore::SetAdvertisedStoragePort(int port) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_advertisedPort = port;
}

void FakeFileStore::SetStorePathIndex(int index) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_pathIndex = index;
}

void FakeFileStore::SetTrackerReply(std::optional<std::string> raw) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_trackerReply = std::move(raw);
}

void FakeFileStore::SetStorageReply(std::optional<std::string> raw) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_storageReply = std::move(raw);
}

void FakeFileStore::SetStoredNamePrefix(const std::string& prefix) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_namePrefix = prefix;
}

void FakeFileStore::SetStorageAcceptHook(std::function<void()> hook) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_acceptHook = std::move(hook);
}

void FakeFileStore::SetUploadHook(std::function<void(const Upload&)> hook) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_uploadHook = std::move(hook);
}

void FakeFileStore::SetRecordLimit(size_t limit) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_recordLimit = limit;
}

std::vector<std::string> FakeFileStore::TrackerQueries() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_queries;
}

std::vector<FakeFileStore::Upload> FakeFileStore::Uploads() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_uploads;
}

bool FakeFileStore::WaitStorageDone(int n, int timeoutMs) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_cond.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                         [&] { return m_storageDone >= n; });
}

void FakeFileStore::TrackerLoop() {
  while (!m_stop) {
    pollfd pfd{m_trackerListen, POLLIN, 0};
    if (poll(&pfd, 1, 100) <= 0) continue;
    int sock = accept4(m_trackerListen, nullptr, nullptr, SOCK_CLOEXEC);
    if (sock < 0) continue;
    ++m_trackerConnections;
    ServeTracker(sock);
    close(sock);
  }
}

void FakeFileStore::StorageLoop() {
  while (!m_stop) {
    pollfd pfd{m_storageListen, POLLIN, 0};
    if (poll(&pfd, 1, 100) <= 0) continue;
    int sock = accept4(m_storageListen, nullptr, nullptr, SOCK_CLOEXEC);
    if (sock < 0) continue;
    ++m_storageConnections;
    ServeStorage(sock);
    close(sock);
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      ++m_storageDone;
    }
    m_cond.notify_all();
  }
}

void FakeFileStore::ServeTracker(int sock) {
  unsigned char query[kHeaderSize];
  if (!ReadFull(sock, query, kHeaderSize, m_stop)) return;
  TrackerFault fault;
  std::string group, ip;
  int port, index;
  std::optional<std::string> raw;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    raw = m_trackerReply;
    m_queries.emplace_back(reinterpret_cast<char*>(query), kHeaderSize);
    if (m_recordLimit > 0 && m_queries.size() > m_recordLimit) m_queries.erase(m_queries.begin());
    fault = m_trackerFault;
    group = m_group;
    ip = m_ipField;
    port = m_advertisedPort;
    index = m_pathIndex;
  }
  // A query must be an empty-bodied command 101; anything else gets no answer.
  if (GetBe64(query) != 0 || query[8] != kCmdTrackerQuery) return;
  if (raw) {
    WriteString(sock, *raw);
    return;
  }

  unsigned char portField[8];
  PutBe64(portField, static_cast<uint64_t>(port));
  std::string body = Field(group, 16) + Field(ip, 15) +
                     std::string(reinterpret_cast<char*>(portField), 8) +
                     std::string(1, static_cast<char>(index));

  switch (fault) {
    case TrackerFault::kNone:
      WriteString(sock, Header(body.size(), 0) + body);
      break;
    case TrackerFault::kCloseWithoutReply:
      break;
    case TrackerFault::kShortHeader:
      WriteString(sock, Header(body.size(), 0).substr(0, 5));
      break;
    case TrackerFault::kLengthTooLarge:
      WriteString(sock, Header(50, 0) + body + std::string(10, 'x'));
      break;
    case TrackerFault::kShortBody:
      WriteString(sock, Header(body.size(), 0) + body.substr(0, 20));
      break;
    case TrackerFault::kBody39:
      WriteString(sock, Header(39, 0) + body.substr(0, 39));
      break;
    case TrackerFault::kRefuse:
      WriteString(sock, Header(0, 2));
      break;
  }
}

std::string FakeFileStore::NextStoredName(const std::string& extension) {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::string name = m_namePrefix + std::to_string(++m_nameCounter);
  if (!extension.empty()) name += "." + extension;
  return name;
}

void FakeFileStore::Keep(const Upload& up) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_uploads.push_back(up);
  if (m_recordLimit > 0 && m_uploads.size() > m_recordLimit) m_uploads.erase(m_uploads.begin());
}

void FakeFileStore::Announce(const Upload& up) {
  std::function<void(const Upload&)> uploaded;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    uploaded = m_uploadHook;
  }
  if (uploaded) uploaded(up);
}

FakeFileStore::Upload FakeFileStore::Store(const std::string& data, const std::string& extension) {
  Upload up;
  up.command = kCmdStorageUpload;
  up.declaredLength = data.size() + 15;
  up.declaredSize = data.size();
  up.extension = extension.substr(0, 6);
  up.data = data;
  up.storedName = NextStoredName(up.extension);
  Keep(up);
  Announce(up);
  return up;
}

void FakeFileStore::ServeStorage(int sock) {
  std::function<void()> hook;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    hook = m_acceptHook;
  }
  if (hook) hook();

  unsigned char block[25];
  if (!ReadFull(sock, block, sizeof(block), m_stop)) return;
  Upload up;
  up.block.assign(reinterpret_cast<char*>(block), sizeof(block));
  up.declaredLength = GetBe64(block);
  up.command = block[8];
  up.status = block[9];
  up.storePathIndex = block[10];
  up.declaredSize = GetBe64(block + 11);
  up.extension.assign(reinterpret_cast<char*>(block + 19),
                      strnlen(reinterpret_cast<char*>(block + 19), 6));

  StorageFault fault;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    fault = m_storageFault;
  }
  auto keep = [&] { Keep(up); };
  if (fault == StorageFault::kCloseAfterBlock) {
    keep();
    return;  // closing with the file unread resets the connection
  }
  if (up.command != kCmdStorageUpload || up.declaredLength < 15 ||
      up.declaredLength - 15 > kMaxUpload) {
    keep();
    return;
  }
  up.data.resize(static_cast<size_t>(up.declaredLength - 15));
  bool complete = up.data.empty() || ReadFull(sock, &up.data[0], up.data.size(), m_stop);

  std::string group;
  std::optional<std::string> raw;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    group = m_group;
    raw = m_storageReply;
  }
  up.storedName = NextStoredName(up.extension);
  if (!complete) {
    up.storedName.clear();
    keep();
    return;
  }
  keep();
  Announce(up);
  if (raw) {
    WriteString(sock, *raw);
    return;
  }
  std::string body = Field(group, 16) + up.storedName;
  switch (fault) {
    case StorageFault::kNone:
    case StorageFault::kCloseAfterBlock:
      WriteString(sock, Header(body.size(), 0) + body);
      break;
    case StorageFault::kCloseWithoutReply:
      break;
    case StorageFault::kReplyLengthTooLarge:
      WriteString(sock, Header(128, 0) + Field(body, 128));
      break;
    case StorageFault::kShortReplyBody:
      WriteString(sock, Header(40, 0) + body.substr(0, 10));
      break;
    case StorageFault::kReplyBody16:
      WriteString(sock, Header(16, 0) + Field(group, 16));
      break;
    case StorageFault::kRefuse:
      WriteString(sock, Header(0, 28));
      break;
  }
}
