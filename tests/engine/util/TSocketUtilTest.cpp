#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <thread>
#include <vector>

#include "base/TStopFlag.h"
#include "util/TSocketUtil.h"

namespace {

using Clock = std::chrono::steady_clock;

// SendAll gives up once the engine stops; an engine released by an earlier test in
// the same process leaves the flag raised.
class TSocketUtilTest : public ::testing::Test {
 protected:
  void SetUp() override { SetEngineStopping(false); }
};

// A loopback TCP socket bound to an ephemeral port, listening when backlog >= 0.
struct Listener {
  int fd = -1;
  int port = 0;
  explicit Listener(int backlog) {
    fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    socklen_t len = sizeof(a);
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    if (backlog >= 0) listen(fd, backlog);
  }
  ~Listener() { close(fd); }
};

int AcceptWithin(int fd, int ms) {
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, ms) <= 0) return -1;
  return accept(fd, nullptr, nullptr);
}

TEST_F(TSocketUtilTest, ResolveAddressIsCachedPerKey) {
  const addrinfo* a = ResolveAddress("127.0.0.1", 5001, false);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->ai_family, AF_INET);
  EXPECT_EQ(a->ai_socktype, SOCK_STREAM);
  // The same key hands back the cached entry, not a new lookup's.
  EXPECT_EQ(ResolveAddress("127.0.0.1", 5001, false), a);
  const addrinfo* udp = ResolveAddress("127.0.0.1", 5001, true);
  ASSERT_NE(udp, nullptr);
  EXPECT_NE(udp, a);
  EXPECT_EQ(udp->ai_socktype, SOCK_DGRAM);
  EXPECT_NE(ResolveAddress("127.0.0.1", 5002, false), a);
  // IPv6 entries are preferred when the list has one.
  const addrinfo* v6 = ResolveAddress("::1", 5001, false);
  ASSERT_NE(v6, nullptr);
  EXPECT_EQ(v6->ai_family, AF_INET6);
}

TEST_F(TSocketUtilTest, ResolveAddressFromManyThreads) {
  std::vector<std::thread> threads;
  std::atomic<int> failures{0};
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&failures, t] {
      for (int i = 0; i < 50; ++i) {
        if (!ResolveAddress("127.0.0.1", 6000 + (i + t) % 10, (i & 1) != 0)) ++failures;
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(failures.load(), 0);
}

TEST_F(TSocketUtilTest, ConnectTcpReachesListener) {
  Listener server(8);
  int sock = ConnectTcp("127.0.0.1", server.port, 10);
  ASSERT_GE(sock, 0);
  int peer = AcceptWithin(server.fd, 10000);
  ASSERT_GE(peer, 0);
  ASSERT_EQ(SendAll(sock, "ping", 4), 1);
  char buf[8] = {};
  ASSERT_EQ(recv(peer, buf, sizeof(buf), 0), 4);
  EXPECT_STREQ(buf, "ping");
  // Readable once the peer writes; not before.
  EXPECT_FALSE(WaitReadable(sock));
  ASSERT_EQ(send(peer, "x", 1, 0), 1);
  EXPECT_TRUE(WaitReadable(sock));
  close(peer);
  close(sock);
}

TEST_F(TSocketUtilTest, ConnectTcpTakesAnyTimeout) {
  // Long waits must not overflow into a negative (endless) poll time.
  Listener server(8);
  for (int seconds : {INT_MAX, INT_MAX / 1000 + 1, 0}) {
    int sock = ConnectTcp("127.0.0.1", server.port, seconds);
    if (seconds > 0) {
      EXPECT_GE(sock, 0) << seconds;
    }
    if (sock >= 0) close(sock);
  }
}

TEST_F(TSocketUtilTest, ConnectTcpToClosedPortFailsFast) {
  Listener closed(-1);  // bound, not listening: the port refuses
  auto start = Clock::now();
  EXPECT_EQ(ConnectTcp("127.0.0.1", closed.port, 20), -2);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
}

TEST_F(TSocketUtilTest, ConnectTcpTimesOutWhenNobodyAnswers) {
  // A listener that never accepts: once its queue is full, the kernel drops further
  // handshakes and the connect can only time out.
  Listener server(0);
  std::vector<int> open;
  int result = 0;
  for (int i = 0; i < 64 && result != -3; ++i) {
    result = ConnectTcp("127.0.0.1", server.port, 1);
    if (result >= 0) open.push_back(result);
  }
  EXPECT_EQ(result, -3);
  for (int fd : open) close(fd);
}

TEST_F(TSocketUtilTest, SendAllCompletesToSlowReader) {
  Listener server(8);
  int sock = ConnectTcp("127.0.0.1", server.port, 10);
  ASSERT_GE(sock, 0);
  // A small send buffer forces well over a hundred partial sends.
  int small = 8192;
  setsockopt(sock, SOL_SOCKET, SO_SNDBUF, &small, sizeof(small));
  int peer = AcceptWithin(server.fd, 10000);
  ASSERT_GE(peer, 0);

  std::vector<char> data(6 * 1024 * 1024);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 131 + (i >> 12));
  std::vector<char> got;
  std::thread reader([&] {
    char buf[8192];
    for (;;) {
      ssize_t n = recv(peer, buf, sizeof(buf), 0);
      if (n <= 0) break;
      got.insert(got.end(), buf, buf + n);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  EXPECT_EQ(SendAll(sock, data.data(), data.size()), 1);
  shutdown(sock, SHUT_WR);
  reader.join();
  EXPECT_TRUE(got == data);
  close(peer);
  close(sock);
}

TEST_F(TSocketUtilTest, SendAllToClosedPeerFailsWithoutSignal) {
  Listener server(8);
  int sock = ConnectTcp("127.0.0.1", server.port, 10);
  ASSERT_GE(sock, 0);
  int peer = AcceptWithin(server.fd, 10000);
  ASSERT_GE(peer, 0);
  close(peer);
  std::vector<char> data(8 * 1024 * 1024, 'z');
  // SIGPIPE is left at its default here: a write to the closed peer must still return.
  EXPECT_EQ(SendAll(sock, data.data(), data.size()), 0);
  EXPECT_EQ(SendAll(-1, "x", 1), 0);
  close(sock);
}

TEST_F(TSocketUtilTest, UdpBindAndSend) {
  int rx = BindUdp("127.0.0.1", 0);
  ASSERT_GT(rx, 0);
  sockaddr_in a{};
  socklen_t len = sizeof(a);
  getsockname(rx, reinterpret_cast<sockaddr*>(&a), &len);
  int port = ntohs(a.sin_port);
  // The port is taken now: a second bind fails with 0.
  EXPECT_EQ(BindUdp("127.0.0.1", port), 0);

  int tx = socket(AF_INET, SOCK_DGRAM, 0);
  EXPECT_EQ(SendToHost(tx, "hello", 5, "127.0.0.1", port), 0);
  pollfd p{rx, POLLIN, 0};
  ASSERT_EQ(poll(&p, 1, 10000), 1);
  char buf[16] = {};
  EXPECT_EQ(recv(rx, buf, sizeof(buf), 0), 5);
  EXPECT_STREQ(buf, "hello");
  close(tx);
  close(rx);
}

}  // namespace
