#include "net/TIMServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "base/TStopFlag.h"
#include "util/TSocketUtil.h"
#include "util/TTextCodec.h"

namespace {

// A drop is logged while few have happened, then only every 1024th, so a flood of
// hostile datagrams cannot flood the output too.
bool ShouldLogDrop(uint64_t count) { return count <= 16 || count % 1024 == 0; }

// IPv4 address and port of an IPv4 or IPv4-mapped IPv6 address; false for others.
bool AsIPv4(const sockaddr_storage& addr, in_addr* ip, in_port_t* port) {
  if (addr.ss_family == AF_INET) {
    const auto* sin = reinterpret_cast<const sockaddr_in*>(&addr);
    *ip = sin->sin_addr;
    *port = sin->sin_port;
    return true;
  }
  if (addr.ss_family == AF_INET6) {
    const auto* sin6 = reinterpret_cast<const sockaddr_in6*>(&addr);
    if (!IN6_IS_ADDR_V4MAPPED(&sin6->sin6_addr)) return false;
    std::memcpy(&ip->s_addr, sin6->sin6_addr.s6_addr + 12, 4);
    *port = sin6->sin6_port;
    return true;
  }
  return false;
}

bool SameAddress(const sockaddr_storage& a, const sockaddr_storage& b) {
  in_addr ipA{}, ipB{};
  in_port_t portA = 0, portB = 0;
  const bool v4A = AsIPv4(a, &ipA, &portA);
  const bool v4B = AsIPv4(b, &ipB, &portB);
  if (v4A || v4B) return v4A && v4B && ipA.s_addr == ipB.s_addr && portA == portB;
  if (a.ss_family != AF_INET6 || b.ss_family != AF_INET6) return false;
  const auto* x = reinterpret_cast<const sockaddr_in6*>(&a);
  const auto* y = reinterpret_cast<const sockaddr_in6*>(&b);
  return x->sin6_port == y->sin6_port &&
         std::memcmp(&x->sin6_addr, &y->sin6_addr, sizeof(in6_addr)) == 0;
}

void AddressText(const sockaddr_storage& addr, std::string* host, int* port) {
  char text[INET6_ADDRSTRLEN] = {};
  if (addr.ss_family == AF_INET) {
    const auto* sin = reinterpret_cast<const sockaddr_in*>(&addr);
    inet_ntop(AF_INET, &sin->sin_addr, text, sizeof(text));
    *port = ntohs(sin->sin_port);
  } else if (addr.ss_family == AF_INET6) {
    const auto* sin6 = reinterpret_cast<const sockaddr_in6*>(&addr);
    inet_ntop(AF_INET6, &sin6->sin6_addr, text, sizeof(text));
    *port = ntohs(sin6->sin6_port);
  } else {
    *port = 0;
  }
  *host = text;
}

}  // namespace

TIMServer::TIMServer(ReceiveFunction receive) : m_receive(std::move(receive)) {}

TIMServer::~TIMServer() { Stop(); }

int TIMServer::Start() {
  int expected = 0;
  if (!m_running.compare_exchange_strong(expected, 1)) return 1;
  {
    std::lock_guard<std::mutex> lock(m_socketMutex);
    m_stopping = false;
  }
  m_thread = std::make_unique<TBaseThread>(&TIMServer::ReceiveEntry, this);
  return 1;
}

void TIMServer::Stop() {
  {
    std::lock_guard<std::mutex> lock(m_socketMutex);
    m_stopping = true;
  }
  m_wake.notify_all();
  if (m_thread) m_thread->Join();
  m_thread.reset();
  m_running = 0;
  std::lock_guard<std::mutex> lock(m_socketMutex);
  if (m_socket > 0) close(m_socket);
  if (m_swapPending && m_newSocket > 0 && m_newSocket != m_socket) close(m_newSocket);
  m_socket = 0;
  m_port = 0;
  m_swapPending = false;
  m_newSocket = 0;
  m_newPort = 0;
}

int TIMServer::SendTo(const void* data, int length, const std::string& host, int port) {
  if (!data || length < 0) return -1;
  // Resolved outside the socket lock: a lookup may take a while, a send does not.
  const addrinfo* address = ResolveAddress(host, port, true);
  if (!address) return -1;
  std::lock_guard<std::mutex> lock(m_socketMutex);
  const int sock = m_swapPending ? m_newSocket : m_socket;
  if (sock <= 0) return -1;
  const ssize_t sent = sendto(sock, data, static_cast<size_t>(length), MSG_NOSIGNAL,
                              address->ai_addr, address->ai_addrlen);
  return sent < 0 ? -1 : static_cast<int>(sent);
}

int TIMServer::SetSocket(int socket, int port) {
  {
    std::lock_guard<std::mutex> lock(m_socketMutex);
    // A socket handed over earlier and not yet taken would otherwise leak.
    if (m_swapPending && m_newSocket > 0 && m_newSocket != socket && m_newSocket != m_socket) {
      close(m_newSocket);
    }
    m_newSocket = socket;
    m_newPort = port;
    m_swapPending = true;
  }
  m_wake.notify_all();
  return port;
}

void TIMServer::DropSocket() { SetSocket(0, 0); }

bool TIMServer::SetPeer(const std::string& host, int port) {
  const addrinfo* address = ResolveAddress(host, port, true);
  std::lock_guard<std::mutex> lock(m_peerMutex);
  if (!address || address->ai_addrlen > sizeof(m_peer)) {
    m_hasPeer = false;
    return false;
  }
  m_peer = sockaddr_storage{};
  std::memcpy(&m_peer, address->ai_addr, address->ai_addrlen);
  m_hasPeer = true;
  return true;
}

bool TIMServer::HasSocket() const {
  std::lock_guard<std::mutex> lock(m_socketMutex);
  return (m_swapPending ? m_newSocket : m_socket) > 0;
}

int TIMServer::CurrentPort() const {
  std::lock_guard<std::mutex> lock(m_socketMutex);
  return m_swapPending ? m_newPort : m_port;
}

unsigned TIMServer::ReceiveEntry(void* arg) {
  static_cast<TIMServer*>(arg)->ReceiveLoop();
  return 0;
}

int TIMServer::TakeSocket() {
  std::lock_guard<std::mutex> lock(m_socketMutex);
  if (m_swapPending) {
    if (m_socket > 0 && m_socket != m_newSocket) close(m_socket);
    m_socket = m_newSocket;
    m_port = m_newPort;
    m_swapPending = false;
    m_newSocket = 0;
    m_newPort = 0;
  }
  return m_socket;
}

void TIMServer::ReceiveLoop() {
  for (;;) {
    if (IsEngineStopping()) break;
    {
      std::lock_guard<std::mutex> lock(m_socketMutex);
      if (m_stopping) break;
    }
    // Only this thread closes sockets, so the descriptor stays valid while it
    // polls and reads it without holding the lock.
    const int sock = TakeSocket();
    if (sock <= 0) {
      WaitForSocket();
      continue;
    }
    pollfd entry{sock, POLLIN, 0};
    const int ready = poll(&entry, 1, kPollMs);
    if (ready > 0 && (entry.revents & POLLIN)) {
      for (int i = 0; i < kReadBurst && ReadOne(sock); ++i) {
      }
    }
  }
  m_running = 0;
}

void TIMServer::WaitForSocket() {
  // The engine's stop flag has no hook into this wait, so it is looked at every
  // kStopPollMs; SetSocket and Stop wake the wait at once.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kIdleWaitMs);
  std::unique_lock<std::mutex> lock(m_socketMutex);
  while (!m_stopping && !m_swapPending && !IsEngineStopping()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return;
    m_wake.wait_for(lock, std::min<std::chrono::steady_clock::duration>(
                              deadline - now, std::chrono::milliseconds(kStopPollMs)));
  }
}

bool TIMServer::ReadOne(int sock) {
  char buffer[kReceiveLimit + 1];
  sockaddr_storage from{};
  socklen_t fromLength = sizeof(from);
  // MSG_TRUNC makes recvfrom report the datagram's real length, so an oversize one
  // is recognised and dropped instead of being delivered cut short.
  const ssize_t count = recvfrom(sock, buffer, kReceiveLimit, MSG_TRUNC | MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&from), &fromLength);
  if (count < 0) return false;
  // An empty datagram is read and passed over.
  if (count == 0) return true;
  std::string host;
  int port = 0;
  AddressText(from, &host, &port);
  if (count > kReceiveLimit) {
    const uint64_t drops = ++m_oversizeDrops;
    if (ShouldLogDrop(drops)) {
      ConsolePrintf("TIMServer: dropped a datagram of %zd bytes from %s:%d (too large)\n", count,
                    host.c_str(), port);
    }
    return true;
  }
  if (!FromPeer(from, fromLength)) {
    const uint64_t drops = ++m_foreignDrops;
    if (ShouldLogDrop(drops)) {
      ConsolePrintf("TIMServer: dropped a datagram from %s:%d (not the IM server)\n", host.c_str(),
                    port);
    }
    return true;
  }
  buffer[count] = '\0';
  ++m_delivered;
  if (m_receive) m_receive(buffer, static_cast<int>(count), host, port);
  return true;
}

bool TIMServer::FromPeer(const sockaddr_storage& from, socklen_t fromLength) {
  (void)fromLength;
  std::lock_guard<std::mutex> lock(m_peerMutex);
  return m_hasPeer && SameAddress(m_peer, from);
}
