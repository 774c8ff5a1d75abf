// The loopback HTTP server that server-facing tests build on: what it puts on the
// wire, what it records, and that it stops cleanly whatever its connections do.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "fakes/FakeHttpServer.h"
#include "net/THttpClient.h"

namespace {

using Clock = std::chrono::steady_clock;

// Sends raw bytes to the server and reads until it closes.
std::string RawExchange(int port, const std::string& bytes) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0) {
    close(fd);
    return "connect failed";
  }
  send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  std::string out;
  char buf[4096];
  timeval tv{10, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
  for (;;) {
    ssize_t n = recv(fd, buf, sizeof(buf), 0);
    if (n <= 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return out;
}

std::string Gunzip(const std::string& data) {
  z_stream zs{};
  inflateInit2(&zs, 16 + 15);
  std::string out(1 << 20, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(&out[0]);
  zs.avail_out = static_cast<uInt>(out.size());
  int rc = inflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  inflateEnd(&zs);
  return rc == Z_STREAM_END ? out : "inflate failed";
}

TEST(FakeHttpServer, WireFormsOfAReply) {
  FakeReply r = FakeReply::Text(201, "hello world", "text/x");
  EXPECT_EQ(r.Wire(),
            "HTTP/1.1 201 Unknown\r\nContent-Type: text/x\r\nContent-Length: 11\r\n"
            "Connection: close\r\n\r\nhello world");
  r.reason = "Created";
  r.framing = FakeReply::Framing::kChunked;
  r.chunkSplits = {5, 5, 20, 0, 6};
  EXPECT_EQ(r.Wire(),
            "HTTP/1.1 201 Created\r\nContent-Type: text/x\r\nTransfer-Encoding: chunked\r\n"
            "Connection: close\r\n\r\n5\r\nhello\r\n1\r\n \r\n5\r\nworld\r\n0\r\n\r\n");
  r.framing = FakeReply::Framing::kClose;
  EXPECT_EQ(r.Wire(),
            "HTTP/1.1 201 Created\r\nContent-Type: text/x\r\nConnection: close\r\n\r\n"
            "hello world");
  // A length given by the script is kept, even when it lies.
  FakeReply liar = FakeReply::Text(200, "abc");
  liar.Header("Content-Length", "10");
  EXPECT_EQ(liar.Wire().find("Content-Length: 3"), std::string::npos);

  const std::string text(100000, 'z');
  const std::string gz = FakeReply::Gzip(text);
  ASSERT_GE(gz.size(), 18u);
  EXPECT_EQ(gz.substr(0, 10), std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10));
  EXPECT_EQ(Gunzip(gz), text);
  FakeReply zipped = FakeReply::Text(200, text);
  zipped.gzip = true;
  EXPECT_NE(zipped.Wire().find(
                "Content-Encoding: gzip\r\nContent-Length: " + std::to_string(gz.size()) + "\r\n"),
            std::string::npos);
}

TEST(FakeHttpServer, RecordsEveryRequestAndRoutesByPath) {
  FakeHttpServer server;
  server.Route("/a", FakeReply::Text(200, "A"));
  server.Handle("/echo", [](const FakeRequest& r) {
    return FakeReply::Text(200, r.method + " " + r.Param("q") + " " + r.body);
  });
  server.Handle("/throws", [](const FakeRequest&) -> FakeReply { throw 1; });
  ASSERT_TRUE(server.Start());
  EXPECT_EQ(server.BaseUrl(), "http://127.0.0.1:" + std::to_string(server.Port()));
  EXPECT_EQ(server.Url("/x?y=1"), server.BaseUrl() + "/x?y=1");

  const std::string post =
      "POST /echo?q=a%20b&r=2 HTTP/1.1\r\nHost: h\r\nX-Two: 1\r\nx-two: 2\r\n"
      "Content-Length: 4\r\n\r\nbody";
  std::string reply = RawExchange(server.Port(), post);
  EXPECT_NE(reply.find("\r\n\r\nPOST a b body"), std::string::npos) << reply;
  EXPECT_EQ(RawExchange(server.Port(), "GET /a HTTP/1.1\r\n\r\n").substr(0, 15), "HTTP/1.1 200 OK");
  EXPECT_EQ(RawExchange(server.Port(), "GET /none HTTP/1.1\r\n\r\n").substr(0, 12), "HTTP/1.1 404");
  EXPECT_EQ(RawExchange(server.Port(), "GET /throws HTTP/1.1\r\n\r\n").substr(0, 12),
            "HTTP/1.1 500");
  EXPECT_EQ(RawExchange(server.Port(), "\x16\x03\x01 not http\r\n\r\n").substr(0, 12),
            "HTTP/1.1 400");

  ASSERT_TRUE(server.WaitForRequests(4));
  std::vector<FakeRequest> all = server.Requests();
  ASSERT_EQ(all.size(), 4u);  // the non-request is answered but not recorded
  const FakeRequest& first = all[0];
  EXPECT_EQ(first.raw, post);
  EXPECT_EQ(first.requestLine, "POST /echo?q=a%20b&r=2 HTTP/1.1");
  EXPECT_EQ(first.method, "POST");
  EXPECT_EQ(first.target, "/echo?q=a%20b&r=2");
  EXPECT_EQ(first.path, "/echo");
  EXPECT_EQ(first.query, "q=a%20b&r=2");
  EXPECT_EQ(first.version, "HTTP/1.1");
  EXPECT_EQ(first.Header("X-TWO"), "1");
  EXPECT_EQ(first.HeaderCount("x-two"), 2);
  EXPECT_EQ(first.Param("r"), "2");
  EXPECT_EQ(first.Param("missing"), "");
  EXPECT_EQ(first.body, "body");
  EXPECT_EQ(server.Requests("/a").size(), 1u);
  EXPECT_EQ(server.LastRequest().path, "/throws");
  server.ClearRequests();
  EXPECT_EQ(server.RequestCount(), 0u);
  EXPECT_FALSE(server.WaitForRequests(1, 50));
}

TEST(FakeHttpServer, ServesClientsInParallel) {
  FakeHttpServer server;
  FakeReply slow = FakeReply::Text(200, "slow");
  slow.delayMs = 300;
  server.Route("/slow", slow);
  ASSERT_TRUE(server.Start());
  std::atomic<int> ok{0};
  std::vector<std::thread> threads;
  const auto start = Clock::now();
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&] {
      THttpClient client;
      TServerRecord record{"127.0.0.1", server.Port()};
      if (client.Exchange(&record, THttpBaseClient::BuildGetRequest(&record, "/slow", "")) > 0) {
        ++ok;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(ok.load(), 8);
  EXPECT_EQ(server.RequestCount(), 8u);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2 * 8 * 300 / 1000 + 5));
}

TEST(FakeHttpServer, StopEndsStalledHeldAndSilentConnectionsAtOnce) {
  for (int mode = 0; mode < 3; ++mode) {
    const bool tls = mode == 1;
    SCOPED_TRACE(mode);
    FakeHttpServer server(tls);
    server.SetSilent(mode == 2);
    FakeReply stall;
    stall.stall = true;
    server.Route("/stall", stall);
    FakeReply held = FakeReply::Text(200, "x");
    held.holdOpen = true;
    server.Route("/held", held);
    ASSERT_TRUE(server.Start());
    std::vector<int> fds;
    for (const char* request :
         {"GET /stall HTTP/1.1\r\n\r\n", "GET /held HTTP/1.1\r\n\r\n", "GET /half"}) {
      int fd = socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in a{};
      a.sin_family = AF_INET;
      a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      a.sin_port = htons(static_cast<uint16_t>(server.Port()));
      ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)), 0);
      if (!tls) send(fd, request, strlen(request), MSG_NOSIGNAL);
      fds.push_back(fd);
    }
    if (mode == 0) {
      ASSERT_TRUE(server.WaitForRequests(2));
    }
    const auto start = Clock::now();
    server.Stop();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    for (int fd : fds) close(fd);
    server.Stop();  // twice is fine
  }
}

}  // namespace
