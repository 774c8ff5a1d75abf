#include "fakes/FakeHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>

namespace {

constexpr size_t kMaxRequestHead = 1 << 20;
constexpr size_t kMaxRequestBody = 64u << 20;
constexpr int kIoTimeoutMs = 30000;
constexpr int kDrainMs = 2000;

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

// One accepted connection, plain or TLS, on a non-blocking socket. Every wait also
// watches the server's wake pipe, so Stop ends it at once.
class FakeHttpServer::Connection {
 public:
  Connection(int fd, int wakeFd, SSL_CTX* context) : m_fd(fd), m_wakeFd(wakeFd) {
    if (context) m_ssl = SSL_new(context);
    if (m_ssl) SSL_set_fd(m_ssl, fd);
  }
  ~Connection() {
    if (m_ssl) SSL_free(m_ssl);
    close(m_fd);
  }

  SSL* Ssl() const { return m_ssl; }

  bool Handshake() {
    if (!m_ssl) return true;
    const int64_t deadline = NowMs() + kIoTimeoutMs;
    for (;;) {
      ERR_clear_error();
      int r = SSL_accept(m_ssl);
      if (r == 1) return true;
      int e = SSL_get_error(m_ssl, r);
      if (e != SSL_ERROR_WANT_READ && e != SSL_ERROR_WANT_WRITE) return false;
      if (!Wait(e == SSL_ERROR_WANT_WRITE ? POLLOUT : POLLIN, deadline)) return false;
    }
  }

  // > 0 bytes, 0 end of stream, -1 error, time-out or stop.
  int Read(char* buffer, int size, int timeoutMs = kIoTimeoutMs) {
    const int64_t deadline = NowMs() + timeoutMs;
    for (;;) {
      if (m_ssl) {
        ERR_clear_error();
        int r = SSL_read(m_ssl, buffer, size);
        if (r > 0) return r;
        int e = SSL_get_error(m_ssl, r);
        if (e == SSL_ERROR_ZERO_RETURN) return 0;
        if (e == SSL_ERROR_SYSCALL && ERR_peek_error() == 0) return 0;
        if (e != SSL_ERROR_WANT_READ && e != SSL_ERROR_WANT_WRITE) return -1;
        if (!Wait(e == SSL_ERROR_WANT_WRITE ? POLLOUT : POLLIN, deadline)) return -1;
      } else {
        ssize_t r = recv(m_fd, buffer, static_cast<size_t>(size), 0);
        if (r >= 0) return static_cast<int>(r);
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return -1;
        if (!Wait(POLLIN, deadline)) return -1;
      }
    }
  }

  bool Write(const char* data, size_t size) {
    int64_t deadline = NowMs() + kIoTimeoutMs;
    while (size > 0) {
      int n;
      if (m_ssl) {
        ERR_clear_error();
        n = SSL_write(m_ssl, data, static_cast<int>(size));
        if (n <= 0) {
          int e = SSL_get_error(m_ssl, n);
          if (e != SSL_ERROR_WANT_READ && e != SSL_ERROR_WANT_WRITE) return false;
          if (!Wait(e == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT, deadline)) return false;
          continue;
        }
      } else {
        ssize_t r = send(m_fd, data, size, MSG_NOSIGNAL);
        if (r < 0) {
          if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
          if (!Wait(POLLOUT, deadline)) return false;
          continue;
        }
        n = static_cast<int>(r);
      }
      data += n;
      size -= static_cast<size_t>(n);
      deadline = NowMs() + kIoTimeoutMs;
    }
    return true;
  }

  // Sleeps ms unless the server stops first; false on stop.
  bool Pause(int ms) {
    pollfd p{m_wakeFd, POLLIN, 0};
    const int64_t deadline = NowMs() + ms;
    for (;;) {
      int64_t left = deadline - NowMs();
      if (left <= 0) return true;
      int r = poll(&p, 1, static_cast<int>(left));
      if (r > 0) return false;
    }
  }

  // Holds the connection until the client closes it or the server stops.
  void HoldUntilClosed() {
    char sink[4096];
    for (;;) {
      int n = ReadRaw(sink, sizeof(sink), 24 * 3600 * 1000);
      if (n <= 0) return;
    }
  }

  // Ends the reply: close_notify and FIN, then reads until the client closes (so no
  // unread byte turns the close into a reset that could eat the reply in flight).
  void CloseGracefully() {
    if (m_ssl) {
      ERR_clear_error();
      SSL_shutdown(m_ssl);
    }
    shutdown(m_fd, SHUT_WR);
    char sink[4096];
    const int64_t deadline = NowMs() + kDrainMs;
    while (NowMs() < deadline) {
      if (ReadRaw(sink, sizeof(sink), static_cast<int>(deadline - NowMs())) <= 0) return;
    }
  }

 private:
  int ReadRaw(char* buffer, size_t size, int timeoutMs) {
    const int64_t deadline = NowMs() + timeoutMs;
    for (;;) {
      ssize_t r = recv(m_fd, buffer, size, 0);
      if (r >= 0) return static_cast<int>(r);
      if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return -1;
      if (!Wait(POLLIN, deadline)) return -1;
    }
  }

  // Called after the socket (or TLS) said it would block: waits on the socket itself.
  bool Wait(short events, int64_t deadline) {
    int64_t left = deadline - NowMs();
    if (left <= 0) return false;
    pollfd p[2] = {{m_fd, events, 0}, {m_wakeFd, POLLIN, 0}};
    int r = poll(p, 2, static_cast<int>(std::min<int64_t>(left, 1000)));
    if (r < 0 && errno != EINTR) return false;
    if (p[1].revents) return false;
    return true;
  }

  int m_fd;
  int m_wakeFd;
  SSL* m_ssl = nullptr;
};

FakeHttpServer::FakeHttpServer(bool tls) : m_tls(tls) {}

FakeHttpServer::~FakeHttpServer() { Stop(); }

void FakeHttpServer::SetCertificate(const std::string& certFile, const std::string& keyFile) {
  m_certFile = certFile;
  m_keyFile = keyFile;
}

void FakeHttpServer::Route(const std::string& path, const FakeReply& reply) {
  Handle(path, [reply](const FakeRequest&) { return reply; });
}

void FakeHttpServer::Handle(const std::string& path, Handler handler) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_handlers[path] = std::move(handler);
}

void FakeHttpServer::SetFallback(Handler handler) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_fallback = std::move(handler);
}

void FakeHttpServer::SetSilent(bool silent) { m_silent = silent; }

void FakeHttpServer::SetRecordLimit(size_t limit) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_recordLimit = limit;
}

void FakeHttpServer::SetRequireClientCertificate(const std::string& caFile) {
  m_clientCaFile = caFile;
}

bool FakeHttpServer::Start() {
  if (m_running) return true;
  std::signal(SIGPIPE, SIG_IGN);
  if (m_tls) {
    // The test CA is made only when no certificate was given.
    if (m_certFile.empty()) {
      const TestCertificates& certs = TestCertificates::Get();
      m_certFile = certs.serverCertFile;
      m_keyFile = certs.serverKeyFile;
    }
    m_context = SSL_CTX_new(TLS_server_method());
    if (!m_context || SSL_CTX_use_certificate_chain_file(m_context, m_certFile.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(m_context, m_keyFile.c_str(), SSL_FILETYPE_PEM) != 1) {
      Stop();
      return false;
    }
    if (!m_clientCaFile.empty()) {
      if (SSL_CTX_load_verify_locations(m_context, m_clientCaFile.c_str(), nullptr) != 1) {
        Stop();
        return false;
      }
      SSL_CTX_set_verify(m_context, SSL_VERIFY_PEER | SSL_VERIFY_FAIL_IF_NO_PEER_CERT, nullptr);
    }
  }
  if (pipe2(m_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    Stop();
    return false;
  }
  m_listenFd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(m_port.load()));
  socklen_t len = sizeof(addr);
  // Without it a closed connection's TIME_WAIT keeps the port from a restart.
  int one = 1;
  if (m_listenFd >= 0) setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
  if (m_listenFd < 0 || bind(m_listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 ||
      listen(m_listenFd, 128) != 0 ||
      getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    Stop();
    return false;
  }
  m_port = ntohs(addr.sin_port);
  m_running = true;
  m_acceptor = std::thread([this] { AcceptLoop(); });
  return true;
}

void FakeHttpServer::Stop() {
  if (m_wakePipe[1] >= 0) {
    ssize_t ignored = write(m_wakePipe[1], "x", 1);
    (void)ignored;
  }
  if (m_acceptor.joinable()) m_acceptor.join();
  std::vector<std::thread> workers;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    workers.swap(m_workers);
  }
  for (std::thread& t : workers) t.join();
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_finished.clear();
  }
  m_running = false;
  if (m_listenFd >= 0) close(m_listenFd);
  m_listenFd = -1;
  for (int& fd : m_wakePipe) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
  if (m_context) SSL_CTX_free(m_context);
  m_context = nullptr;
}

std::string FakeHttpServer::BaseUrl() const {
  return std::string(m_tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_port.load());
}

std::string FakeHttpServer::Url(const std::string& pathAndQuery) const {
  return BaseUrl() + pathAndQuery;
}

std::vector<FakeRequest> FakeHttpServer::Requests() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_requests;
}

std::vector<FakeRequest> FakeHttpServer::Requests(const std::string& path) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<FakeRequest> out;
  for (const FakeRequest& r : m_requests) {
    if (r.path == path) out.push_back(r);
  }
  return out;
}

size_t FakeHttpServer::RequestCount() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_requests.size();
}

FakeRequest FakeHttpServer::LastRequest() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_requests.empty() ? FakeRequest() : m_requests.back();
}

bool FakeHttpServer::WaitForRequests(size_t count, int timeoutMs) const {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_requestArrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                   [&] { return m_requests.size() >= count; });
}

void FakeHttpServer::ClearRequests() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_requests.clear();
}

void FakeHttpServer::AcceptLoop() {
  for (;;) {
    pollfd p[2] = {{m_listenFd, POLLIN, 0}, {m_wakePipe[0], POLLIN, 0}};
    int r = poll(p, 2, -1);
    if (r < 0 && errno != EINTR) return;
    if (p[1].revents) return;
    if (!(p[0].revents & POLLIN)) continue;
    int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) continue;
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
    const int number = ++m_connections;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const std::thread::id& id : m_finished) {
      auto it = std::find_if(m_workers.begin(), m_workers.end(),
                             [&id](const std::thread& t) { return t.get_id() == id; });
      if (it == m_workers.end()) continue;
      it->join();  // it has nothing left to do but return
      m_workers.erase(it);
    }
    m_finished.clear();
    m_workers.emplace_back([this, fd, number] {
      Serve(fd, number);
      std::lock_guard<std::mutex> done(m_mutex);
      m_finished.push_back(std::this_thread::get_id());
    });
  }
}

FakeHttpServer::Handler FakeHttpServer::FindHandler(const std::string& path) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  auto it = m_handlers.find(path);
  if (it != m_handlers.end()) return it->second;
  if (m_fallback) return m_fallback;
  return [](const FakeRequest&) { return FakeReply::Text(404, "not found"); };
}

void FakeHttpServer::Record(const FakeRequest& request) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_requests.push_back(request);
  if (m_recordLimit > 0 && m_requests.size() > m_recordLimit)
    m_requests.erase(m_requests.begin(), m_requests.end() - static_cast<long>(m_recordLimit));
  m_requestArrived.notify_all();
}

void FakeHttpServer::Serve(int fd, int number) {
  Connection conn(fd, m_wakePipe[0], m_context);
  if (m_silent) {
    conn.HoldUntilClosed();
    return;
  }
  if (!conn.Handshake()) return;

  // The request head, then a body of Content-Length bytes.
  std::string data;
  char buffer[16384];
  size_t headEnd = std::string::npos;
  while (headEnd == std::string::npos) {
    int n = conn.Read(buffer, sizeof(buffer));
    if (n <= 0) return;
    data.append(buffer, static_cast<size_t>(n));
    if (!std::isalpha(static_cast<unsigned char>(data[0])) || data.size() > kMaxRequestHead) {
      const std::string bad = FakeReply::Text(400, "bad request").Wire();
      conn.Write(bad.data(), bad.size());
      conn.CloseGracefully();
      return;
    }
    headEnd = data.find("\r\n\r\n");
  }
  FakeRequest request;
  request.connection = number;
  if (SSL* ssl = conn.Ssl()) {
    const char* name = SSL_get_servername(ssl, TLSEXT_NAMETYPE_host_name);
    request.serverName = name ? name : "";
    X509* peer = SSL_get1_peer_certificate(ssl);
    request.clientCertified = peer != nullptr;
    X509_free(peer);
  }
  if (!request.ParseHead(data.substr(0, headEnd + 4))) {
    const std::string bad = FakeReply::Text(400, "bad request").Wire();
    conn.Write(bad.data(), bad.size());
    conn.CloseGracefully();
    return;
  }
  const std::string lengthText = request.Header("Content-Length");
  const size_t length = lengthText.empty() ? 0 : std::strtoull(lengthText.c_str(), nullptr, 10);
  if (length > kMaxRequestBody) return;
  while (data.size() < headEnd + 4 + length) {
    int n = conn.Read(buffer, sizeof(buffer));
    if (n <= 0) return;
    data.append(buffer, static_cast<size_t>(n));
  }
  request.raw = data.substr(0, headEnd + 4 + length);
  request.body = data.substr(headEnd + 4, length);
  Record(request);

  FakeReply reply;
  try {
    reply = FindHandler(request.path)(request);
  } catch (...) {
    reply = FakeReply::Text(500, "handler failed");
  }
  if (reply.stall) {
    conn.HoldUntilClosed();
    return;
  }
  if (reply.delayMs > 0 && !conn.Pause(reply.delayMs)) return;

  const std::string wire = reply.Wire();
  const size_t limit = reply.closeAfter >= 0
                           ? std::min(wire.size(), static_cast<size_t>(reply.closeAfter))
                           : wire.size();
  std::vector<size_t> cuts;
  for (size_t c : reply.writeSplits) {
    if (c > 0 && c < limit) cuts.push_back(c);
  }
  if (reply.pieceSize > 0) {
    for (size_t c = reply.pieceSize; c < limit; c += reply.pieceSize) cuts.push_back(c);
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  cuts.push_back(limit);
  size_t start = 0;
  for (size_t end : cuts) {
    if (start > 0 && !conn.Pause(reply.pauseMs)) return;
    if (!conn.Write(wire.data() + start, end - start)) return;
    start = end;
  }
  // An early close is a cut: no close_notify, no waiting for the client.
  if (reply.closeAfter >= 0) return;
  if (reply.holdOpen) {
    conn.HoldUntilClosed();
    return;
  }
  conn.CloseGracefully();
}
