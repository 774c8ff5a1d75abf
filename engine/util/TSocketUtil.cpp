#include "util/TSocketUtil.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <map>

#include "base/TAutoLock.h"
#include "base/TBaseMutex.h"
#include "base/TStopFlag.h"
#include "platform/socket.h"

namespace {

constexpr int kResolveAttempts = 3;
constexpr int kSendIdlePasses = 100;
constexpr int kWaitMs = 1000;
constexpr int kMsPerSecond = 1000;

// Lists are never freed: callers keep pointers into them for the life of the process.
// Both live on the heap so they outlive every static destructor that might resolve.
std::map<std::string, addrinfo*>& Cache() {
  static auto* cache = new std::map<std::string, addrinfo*>;
  return *cache;
}

TBaseMutex& CacheMutex() {
  static auto* mutex = new TBaseMutex;
  return *mutex;
}

const addrinfo* Choose(const addrinfo* list) {
  for (const addrinfo* a = list; a; a = a->ai_next) {
    if (a->ai_family == AF_INET6) return a;
  }
  return list;
}

// Waits for events on sock up to ms, retrying on signals; the revents, or 0.
short PollFor(int sock, short events, int ms) {
  pollfd p{sock, events, 0};
  for (;;) {
    int r = poll(&p, 1, ms);
    if (r > 0) return p.revents;
    if (r == 0) return 0;
    if (errno != EINTR) return POLLERR;
  }
}

}  // namespace

const addrinfo* ResolveAddress(const std::string& host, int port, bool udp) {
  const std::string key = host + "-" + std::to_string(port) + "-" + (udp ? "1" : "0");
  {
    TAutoLock lock(CacheMutex());
    auto it = Cache().find(key);
    if (it != Cache().end()) return Choose(it->second);
  }
  addrinfo hints{};
  hints.ai_flags = AI_CANONNAME;
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = udp ? SOCK_DGRAM : SOCK_STREAM;
  hints.ai_protocol = udp ? IPPROTO_UDP : IPPROTO_TCP;
  const std::string service = std::to_string(port);
  for (int attempt = 0; attempt < kResolveAttempts; ++attempt) {
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &list) != 0 || !list) {
      if (list) freeaddrinfo(list);
      continue;
    }
    TAutoLock lock(CacheMutex());
    // Another thread may have stored this key meanwhile; its list is already handed
    // out, so keep it and drop ours.
    auto inserted = Cache().emplace(key, list);
    if (!inserted.second) freeaddrinfo(list);
    return Choose(inserted.first->second);
  }
  return nullptr;
}

int ConnectTcp(const std::string& host, int port, int timeoutSeconds) {
  const addrinfo* a = ResolveAddress(host, port, false);
  if (!a) return -1;
  int sock = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
  if (sock < 0) return -2;
  int flags = fcntl(sock, F_GETFL, 0);
  if (flags < 0 || fcntl(sock, F_SETFL, flags | O_NONBLOCK) < 0) {
    close(sock);
    return -2;
  }
  if (connect(sock, a->ai_addr, a->ai_addrlen) == 0) return sock;
  if (errno != EINPROGRESS && errno != EWOULDBLOCK && errno != EAGAIN && errno != EINTR) {
    close(sock);
    return -2;
  }
  // Clamped: a product past the int range would turn into poll's endless wait.
  int ms = timeoutSeconds <= 0                       ? 0
           : timeoutSeconds > INT_MAX / kMsPerSecond ? INT_MAX
                                                     : timeoutSeconds * kMsPerSecond;
  short ev = PollFor(sock, POLLOUT, ms);
  if (ev == 0) {
    close(sock);
    return -3;
  }
  // Linux reports a refused connect as writable: only SO_ERROR tells.
  int err = 0;
  socklen_t len = sizeof(err);
  if (getsockopt(sock, SOL_SOCKET, SO_ERROR, &err, &len) != 0 || err != 0) {
    close(sock);
    return -2;
  }
  return sock;
}

bool WaitReadable(int sock) {
  if (sock < 0) return false;
  return PollFor(sock, POLLIN, kWaitMs) != 0;
}

int SendAll(int sock, const void* data, size_t length) {
  if (sock < 0) return 0;
  const char* p = static_cast<const char*>(data);
  size_t left = length;
  if (left == 0) return 1;
  int idle = 0;
  // A pass that sends something starts the count again: only a peer that takes nothing
  // for 100 s in a row fails the send, however large the data.
  while (idle < kSendIdlePasses) {
    if (IsEngineStopping()) return 0;
    short ev = PollFor(sock, POLLOUT, kWaitMs);
    if (ev == 0) {
      ++idle;
      continue;
    }
    ssize_t n = send(sock, p, left, MSG_NOSIGNAL);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      ++idle;
      continue;
    }
    if (n < 1) return 0;
    p += n;
    left -= static_cast<size_t>(n);
    if (left == 0) return 1;
    idle = 0;
  }
  return 0;
}

int BindUdp(const std::string& host, int port) {
  tesmo::StartSockets();
  const addrinfo* a = ResolveAddress(host, port, true);
  if (!a) return -1;
  int sock = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
  if (sock < 0) return 0;
  if (bind(sock, a->ai_addr, a->ai_addrlen) != 0) {
    close(sock);
    return 0;
  }
  return sock;
}

int SendToHost(int sock, const void* data, size_t length, const std::string& host, int port) {
  const addrinfo* a = ResolveAddress(host, port, true);
  if (!a || sock < 0) return 0;
  sendto(sock, data, length, MSG_NOSIGNAL, a->ai_addr, a->ai_addrlen);
  return 0;
}
