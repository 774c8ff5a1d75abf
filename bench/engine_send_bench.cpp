// Sending a text through the facade against the local server (started here as a
// child process): latency from SendMsgIM to its 200201 reply, and sends per second
// with many queued at once; next to a raw loopback exchange on a new connection to
// the same server (TLS, as the engine talks to it) and to a bare HTTP responder.
//
// Usage: engine_send_bench [sequential sends (300)] [burst sends (1000)]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "BenchEngine.h"
#include "BenchFigures.h"
#include "TAPIInterface.h"
#include "tools/LocalServerProcess.h"

namespace {

// An account with no scripted replies: a send causes no push back.
const char* kPeer = "200003@test.local";

std::mutex g_mutex;
std::condition_variable g_cond;
std::map<int, BenchClock::time_point> g_replied;  // 200201 id -> arrival
std::map<int, int> g_results;
int g_loggedIn = 0;

void Callback(int code, int a, int id, int, const char*) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (code == _REQUEST_HTTP_SENDMSGIM) {
    g_replied[id] = BenchClock::now();
    g_results[id] = a;
  } else if (code == _EVENT_LOGIN_SUCCESS) {
    g_loggedIn = 1;
  } else if (code == _EVENT_LOGIN_FAIL) {
    g_loggedIn = -1;
  }
  g_cond.notify_all();
}

bool WaitFor(const std::function<bool()>& done, int seconds) {
  std::unique_lock<std::mutex> lock(g_mutex);
  return g_cond.wait_for(lock, std::chrono::seconds(seconds), done);
}

int Connect(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
    close(fd);
    return -1;
  }
  int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
  return fd;
}

const char kRequest[] =
    "POST /nothing.do HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n"
    "Content-Length: 2\r\nConnection: close\r\n\r\n{}";

// One exchange on a new TLS connection: connect, handshake, request, reply to close.
bool RawTlsExchange(SSL_CTX* ctx, int port) {
  const int fd = Connect(port);
  if (fd < 0) return false;
  SSL* ssl = SSL_new(ctx);
  SSL_set_fd(ssl, fd);
  SSL_set_tlsext_host_name(ssl, "127.0.0.1");
  bool ok = SSL_connect(ssl) == 1 && SSL_write(ssl, kRequest, sizeof(kRequest) - 1) > 0;
  char buffer[4096];
  size_t got = 0;
  int n = 0;
  while (ok && (n = SSL_read(ssl, buffer, sizeof(buffer))) > 0) got += static_cast<size_t>(n);
  SSL_free(ssl);
  close(fd);
  return ok && got > 0;
}

// One exchange on a new plain connection to the bare responder.
bool RawHttpExchange(int port) {
  const int fd = Connect(port);
  if (fd < 0) return false;
  bool ok = send(fd, kRequest, sizeof(kRequest) - 1, MSG_NOSIGNAL) > 0;
  char buffer[4096];
  size_t got = 0;
  ssize_t n = 0;
  while (ok && (n = recv(fd, buffer, sizeof(buffer), 0)) > 0) got += static_cast<size_t>(n);
  close(fd);
  return ok && got > 0;
}

// The least an HTTP server does: read the request head and body, answer, close.
class BareResponder {
 public:
  BareResponder() {
    m_listen = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    listen(m_listen, 128);
    socklen_t len = sizeof(addr);
    getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { Run(); });
  }
  ~BareResponder() {
    m_stop = true;
    shutdown(m_listen, SHUT_RDWR);
    close(m_listen);
    m_thread.join();
  }
  int Port() const { return m_port; }

 private:
  void Run() {
    static const char reply[] =
        "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 10\r\n"
        "Connection: close\r\n\r\n{\"code\":1}";
    while (!m_stop) {
      const int fd = accept(m_listen, nullptr, nullptr);
      if (fd < 0) continue;
      std::string in;
      char buffer[4096];
      ssize_t n = 0;
      while (in.find("\r\n\r\n{}") == std::string::npos &&
             (n = recv(fd, buffer, sizeof(buffer), 0)) > 0)
        in.append(buffer, static_cast<size_t>(n));
      send(fd, reply, sizeof(reply) - 1, MSG_NOSIGNAL);
      close(fd);
    }
  }
  int m_listen = -1;
  int m_port = 0;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

}  // namespace

int main(int argc, char** argv) {
  const int sequential = argc > 1 ? std::atoi(argv[1]) : 300;
  const int burst = argc > 2 ? std::atoi(argv[2]) : 1000;
  const std::string dir = BenchFolder("tesmo-send-bench");
  if (dir.empty()) return 1;
  LocalServerProcess server;
  TAPIInterface api;
  if (!StartAndLogIn(server, api, dir, &Callback, [] {
        WaitFor([] { return g_loggedIn != 0; }, 60);
        return g_loggedIn;
      }))
    return 1;
  std::printf("logged in as %s; sending to %s\n", api.GetMyAccount(), kPeer);

  // Warm-up: connections, statements and caches.
  for (int i = 0; i < 20; ++i) {
    const int id = api.SendMsgIM(kPeer, 0, "warm up", "{}");
    WaitFor([id] { return g_replied.count(id) > 0; }, 60);
  }

  // Latency: one send at a time.
  Samples sendLatency;
  int failed = 0;
  for (int i = 0; i < sequential; ++i) {
    const auto start = BenchClock::now();
    const int id = api.SendMsgIM(kPeer, 0, "latency", "{}");
    if (!WaitFor([id] { return g_replied.count(id) > 0; }, 60)) {
      ++failed;
      continue;
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    sendLatency.Add(std::chrono::duration<double, std::micro>(g_replied[id] - start).count());
    if (g_results[id] != 0) ++failed;
  }

  // Throughput: many sends queued at once, until the last reply.
  std::vector<int> ids;
  const auto burstStart = BenchClock::now();
  for (int i = 0; i < burst; ++i) ids.push_back(api.SendMsgIM(kPeer, 0, "burst", "{}"));
  // The caller's share: storing each row and queuing its send.
  const double queuedUs = MicrosSince(burstStart);
  const int last = ids.back();
  WaitFor(
      [&] {
        for (int id : ids)
          if (!g_replied.count(id)) return false;
        return true;
      },
      600);
  const double burstUs = MicrosSince(burstStart);
  int burstFailed = 0;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    for (int id : ids) burstFailed += !g_replied.count(id) || g_results[id] != 0;
  }
  (void)last;
  api.Release();

  // The machine's limit in the same run: a raw exchange on a new connection.
  SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
  SSL_CTX_set_verify(ctx, SSL_VERIFY_NONE, nullptr);
  const int userPort = server.Port("USERSERVER");
  Samples rawTls;
  for (int i = 0; i < 20; ++i) RawTlsExchange(ctx, userPort);
  for (int i = 0; i < sequential; ++i) {
    const auto start = BenchClock::now();
    if (RawTlsExchange(ctx, userPort)) rawTls.Add(MicrosSince(start));
  }
  SSL_CTX_free(ctx);
  Samples rawHttp;
  {
    BareResponder bare;
    for (int i = 0; i < 20; ++i) RawHttpExchange(bare.Port());
    for (int i = 0; i < sequential; ++i) {
      const auto start = BenchClock::now();
      if (RawHttpExchange(bare.Port())) rawHttp.Add(MicrosSince(start));
    }
  }
  server.Stop();
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);

  std::printf("\n");
  PrintSamples("SendMsgIM -> 200201 (one at a time)", sendLatency);
  PrintSamples("raw TLS exchange, new connection, same server", rawTls);
  PrintSamples("raw HTTP exchange, new connection, bare server", rawHttp);
  std::printf("%-44s %d sends in %.1f ms: %.0f sends/s (%d failed)\n", "burst throughput", burst,
              burstUs / 1000, burst / (burstUs / 1e6), burstFailed);
  std::printf("%-44s %.1f us per SendMsgIM call\n", "the export call alone (store and queue)",
              queuedUs / burst);
  std::printf("failed sends in the latency run: %d\n", failed);
  std::printf("median ratio send / raw TLS exchange:  %.2fx (target at most 5x)\n",
              sendLatency.Median() / rawTls.Median());
  std::printf("median ratio send / raw HTTP exchange: %.2fx\n",
              sendLatency.Median() / rawHttp.Median());
  return failed || burstFailed ? 2 : 0;
}
