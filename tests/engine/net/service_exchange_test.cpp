// Asynchronous GET and POST through the facade against the loopback server: the
// result table, gzip bodies, where URLs without a host go, and the reply hooks.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ServiceTestSupport.h"
#include "core/TEngineCore.h"
#include "fakes/FakeHttpServer.h"
#include "net/THttpBaseClient.h"

namespace {

std::string HttpHead(const std::string& lines) { return "HTTP/1.1 200 OK\r\n" + lines + "\r\n"; }

// A gzip body whose header carries a modification time, as gzip files served as
// they are do: a valid member.
std::string GzipWithTime(const std::string& data) {
  std::string g = FakeReply::Gzip(data);
  g[4] = '\x01';
  return g;
}

// A member whose CRC-32 does not match its data.
std::string GzipBadCrc(const std::string& data) {
  std::string g = FakeReply::Gzip(data);
  g[g.size() - 8] = static_cast<char>(g[g.size() - 8] ^ 0x01);
  return g;
}

std::string ZlibDeflate(const std::string& data) {
  uLongf size = compressBound(data.size());
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(data.data()),
            data.size(), 6);
  out.resize(size);
  return out;
}

std::string GzipWire(const std::string& gz) {
  return HttpHead("Content-Encoding: gzip\r\nContent-Length: " + std::to_string(gz.size()) +
                  "\r\n") +
         gz;
}

class ServiceExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CallbackRecorder::Get().Clear();
    m_api.Init();
    m_api.SetCallBack(&CallbackRecorder::Callback);
    m_core = TEngineCore::Instance();
    ASSERT_TRUE(m_server.Start());
    m_hooks = std::make_unique<ScopedReplyHooks>(
        [this](THttpRequestService&, TAPIPacket* p, const std::string& url, const std::string& body,
               int* handled) {
          if (url.find("/intercepted") == std::string::npos) return 1;
          std::lock_guard<std::mutex> lock(m_hookMutex);
          m_intercepted.push_back(url + "|" + body);
          *handled = 1;
          p->s4 = "taken";
          return 0;
        },
        [this](THttpRequestService&, TAPIPacket* p, const std::string& url,
               const std::string& reply) {
          std::lock_guard<std::mutex> lock(m_hookMutex);
          m_routed.push_back(url + "|" + reply);
          if (url.find("/rewrite") != std::string::npos) p->s4 = "rewritten";
        });
    ASSERT_EQ(m_api.Run(), 1);
  }
  void TearDown() override {
    m_api.Release();
    m_hooks.reset();
  }

  RecordedReport Get(int id, const std::string& url) {
    m_api.SendGet(id, url.c_str());
    auto r = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_SENDGET, id);
    EXPECT_TRUE(r) << url;
    return r ? *r : RecordedReport{};
  }
  std::vector<std::string> Routed() {
    std::lock_guard<std::mutex> lock(m_hookMutex);
    return m_routed;
  }
  std::vector<std::string> Intercepted() {
    std::lock_guard<std::mutex> lock(m_hookMutex);
    return m_intercepted;
  }

  TAPIInterface m_api;
  TEngineCore* m_core = nullptr;
  FakeHttpServer m_server;
  std::mutex m_hookMutex;
  std::unique_ptr<ScopedReplyHooks> m_hooks;
  std::vector<std::string> m_routed;
  std::vector<std::string> m_intercepted;
};

TEST_F(ServiceExchangeTest, ResultTableThroughTheLoopbackServer) {
  const std::string json = R"({"code": 1, "msg": "ok"})";
  FakeReply gz = FakeReply::Json(json);
  gz.gzip = true;
  struct Row {
    const char* name;
    FakeReply reply;
    int a;
    const char* text;
    bool routed;
  };
  const std::vector<Row> rows = {
      {"200 with a body", FakeReply::Json(json), 0, json.c_str(), true},
      {"201 is success too", FakeReply::Text(201, "made"), 0, "made", true},
      {"header only", FakeReply::Text(200, ""), 0, "", true},
      {"404", FakeReply::Text(404, "nothing here"), 6, "", false},
      {"500", FakeReply::Text(500, "broken"), 6, "", false},
      {"gzip body unpacked", gz, 0, json.c_str(), true},
      {"gzip body with a modification time", FakeReply::Raw(GzipWire(GzipWithTime(json))), 0,
       json.c_str(), true},
      {"gzip body with a wrong CRC", FakeReply::Raw(GzipWire(GzipBadCrc(json))), 4, "", false},
      {"deflate body decoded",
       FakeReply::Text(200, ZlibDeflate(json)).Header("Content-Encoding", "deflate"), 0,
       json.c_str(), true},
      {"an encoding the engine cannot undo",
       FakeReply::Text(200, "\x0b\x02\x80").Header("Content-Encoding", "br"), 4, "", false},
      {"gzip bomb", FakeReply::Raw(GzipWire(FakeReply::Gzip(std::string(20 << 20, '\0')))), 4, "",
       false},
      {"gzip elsewhere in the header only",
       FakeReply::Text(200, "plain gzip text").Header("X-Note", "gzip"), 0, "plain gzip text",
       true},
      {"no header end", FakeReply::Raw("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"), 4, "",
       false},
      {"bad status line", FakeReply::Raw("HTTP/2 200 OK\r\nContent-Length: 2\r\n\r\nok"), 5, "",
       false},
      {"two different lengths",
       FakeReply::Raw(HttpHead("Content-Length: 2\r\nContent-Length: 7\r\n") + "{\"a\": 1}"), 2,
       "", false},
  };
  int id = 100;
  for (const Row& row : rows) {
    const std::string path = "/row" + std::to_string(++id);
    m_server.Route(path, row.reply);
    size_t routedBefore = Routed().size();
    RecordedReport r = Get(id, m_server.Url(path + "?k=v"));
    EXPECT_EQ(r.a, row.a) << row.name;
    EXPECT_EQ(r.text, row.text) << row.name;
    EXPECT_EQ(Routed().size(), routedBefore + (row.routed ? 1 : 0)) << row.name;
    if (row.routed) {
      EXPECT_EQ(Routed().back(), m_server.Url(path + "?k=v") + "|" + row.text) << row.name;
    }
  }
  for (int i = 101; i <= id; ++i)
    EXPECT_EQ(CallbackRecorder::Get().Count(_REQUEST_HTTP_SENDGET, i), 1u);
}

// A peer that sends a byte before every idle time-out holds a worker only until the
// reply deadline: all four workers come free and serve the next request.
TEST_F(ServiceExchangeTest, TricklingPeersHoldWorkersOnlyUntilTheReplyDeadline) {
  FakeReply trickle = FakeReply::Json(std::string(40, ' ') + "{}");
  trickle.pieceSize = 1;
  trickle.pauseMs = 250;  // about 30 s for the whole reply
  m_server.Route("/trickle", trickle);
  m_server.Route("/next", FakeReply::Text(200, "next"));
  THttpRequestService* service = m_core->GetRequestService();
  ASSERT_NE(service, nullptr);
  for (int slot = 0; slot < THttpRequestService::kWorkerCount; ++slot) {
    THttpBaseClient* client = service->GetClient(slot, m_server.Url("/"));
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(client->GetReplyDeadline(), THttpBaseClient::kDefaultReplyDeadlineMs);
    client->SetIdleTimeout(2);
    client->SetReplyDeadline(2500);
  }
  const auto start = std::chrono::steady_clock::now();
  for (int id = 501; id <= 504; ++id) m_api.SendGet(id, m_server.Url("/trickle").c_str());
  for (int id = 501; id <= 504; ++id) {
    auto r = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_SENDGET, id, std::chrono::seconds(60));
    ASSERT_TRUE(r) << id;
    EXPECT_EQ(r->a, 2) << id;
    EXPECT_EQ(r->text, "") << id;
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  RecordedReport r = Get(505, m_server.Url("/next"));
  EXPECT_EQ(r.a, 0);
  EXPECT_EQ(r.text, "next");
}

TEST_F(ServiceExchangeTest, RefusedAndMalformedUrlsFailWithTwo) {
  FakeHttpServer closed;
  ASSERT_TRUE(closed.Start());
  const std::string closedUrl = closed.Url("/x");
  closed.Stop();
  m_core->SetHttpServer("");  // no fallback server either

  struct Row {
    const char* name;
    std::string url;
  };
  const Row rows[] = {
      {"refused connection", closedUrl},
      {"empty URL", ""},
      {"path-only URL without an HTTP server", "/user/info.do"},
      {"line break in the URL", m_server.Url("/a\r\nX-Evil: 1\r\n")},
      {"line break in the host", "http://127.0.0.1\r\n:1/a"},
  };
  int id = 200;
  for (const Row& row : rows) {
    RecordedReport r = Get(++id, row.url);
    EXPECT_EQ(r.a, 2) << row.name;
    EXPECT_EQ(r.text, "") << row.name;
  }
  EXPECT_EQ(m_server.ConnectionCount(), 0);
  EXPECT_TRUE(Routed().empty());
}

// A URL without a host goes to the HTTP server that the registration named.
TEST_F(ServiceExchangeTest, UrlsWithoutHostGoToTheHttpServer) {
  m_server.Route("/user/info.do", FakeReply::Json("{\"code\": 1}"));
  m_core->SetHttpServer("127.0.0.1:" + std::to_string(m_server.Port()));
  const char* urls[] = {"/user/info.do?a=1", "user/info.do?a=2", "http:///user/info.do?a=3",
                        "/user/info.do?a=4&next=http://other.test/x"};
  int id = 300;
  for (const char* url : urls) {
    RecordedReport r = Get(++id, url);
    EXPECT_EQ(r.a, 0) << url;
    EXPECT_EQ(r.text, "{\"code\": 1}") << url;
  }
  auto seen = m_server.Requests("/user/info.do");
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].target, "/user/info.do?a=1");
  EXPECT_EQ(seen[1].target, "/user/info.do?a=2");
  EXPECT_EQ(seen[2].target, "/user/info.do?a=3");
  EXPECT_EQ(seen[3].target, "/user/info.do?a=4&next=http://other.test/x");
  EXPECT_EQ(seen[0].Header("Host"), "127.0.0.1:" + std::to_string(m_server.Port()));
}

TEST_F(ServiceExchangeTest, PostSendsJsonAndIsRoutedDoPostIsNot) {
  m_server.Handle("/echo", [](const FakeRequest& r) { return FakeReply::Json(r.body); });
  m_server.Handle("/rewrite", [](const FakeRequest& r) { return FakeReply::Json(r.body); });
  const int kDoPost = 200302;
  ScopedExecutor doPost(kDoPost, [](THttpRequestService& service, TAPIPacket* p) {
    return service.DoPost(p, p->s1, p->s2);
  });
  m_core->SetToken("tok-1");

  const std::string body = R"({"transid": "ab1", "text": "\u00e9 \"q\""})";
  m_api.SendPost(1, m_server.Url("/echo").c_str(), body.c_str());
  auto r = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_SENDPOST, 1);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->a, 0);
  EXPECT_EQ(r->text, body);
  auto seen = m_server.LastRequest();
  EXPECT_EQ(seen.method, "POST");
  EXPECT_EQ(seen.body, body);
  EXPECT_EQ(seen.Header("Content-Type"), "application/json");
  EXPECT_EQ(seen.Header("TS-IM-TOKEN"), "tok-1");
  ASSERT_EQ(Routed().size(), 1u);

  // The router may replace the reply the caller sees.
  m_api.SendPost(2, m_server.Url("/rewrite").c_str(), "{}");
  r = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_SENDPOST, 2);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->text, "rewritten");
  ASSERT_EQ(Routed().size(), 2u);

  TAPIPacket* p = MakePacket(kDoPost, 3, m_server.Url("/echo"), "{\"x\": 1}");
  m_core->PostPacket(p);
  r = CallbackRecorder::Get().WaitFor(kDoPost, 3);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->a, 0);
  EXPECT_EQ(r->text, "{\"x\": 1}");
  EXPECT_EQ(Routed().size(), 2u);
}

TEST_F(ServiceExchangeTest, TheInterceptorTakesRequestsOverBeforeAnyExchange) {
  m_api.SendGet(1, m_server.Url("/intercepted/a").c_str());
  m_api.SendPost(2, m_server.Url("/intercepted/b").c_str(), "{\"n\": 2}");
  auto g = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_SENDGET, 1);
  auto p = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_SENDPOST, 2);
  ASSERT_TRUE(g && p);
  EXPECT_EQ(g->a, 0);
  EXPECT_EQ(g->text, "taken");
  EXPECT_EQ(p->text, "taken");
  EXPECT_EQ(m_server.ConnectionCount(), 0);
  EXPECT_TRUE(Routed().empty());
  auto seen = Intercepted();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_NE(std::find(seen.begin(), seen.end(), m_server.Url("/intercepted/a") + "|"), seen.end());
  EXPECT_NE(std::find(seen.begin(), seen.end(), m_server.Url("/intercepted/b") + "|{\"n\": 2}"),
            seen.end());
}

// The decoding step on raw replies.
// Without TLS switched on, an https URL fails on every path and nothing goes out in
// clear text to its port.
TEST_F(ServiceExchangeTest, HttpsUrlWithoutTlsFailsAndSendsNothing) {
  m_server.Route("/secret", FakeReply::Json("{}"));
  const std::string url = "https://127.0.0.1:" + std::to_string(m_server.Port()) + "/secret";
  RecordedReport r = Get(71, url);
  EXPECT_EQ(r.a, 2);
  m_api.SendPost(72, url.c_str(), "{}");
  auto post = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_SENDPOST, 72);
  ASSERT_TRUE(post);
  EXPECT_EQ(post->a, 2);
  EXPECT_STREQ(m_api.SyncSendGet(0, url.c_str()), "");
  EXPECT_STREQ(m_api.SyncSendPost(0, url.c_str(), "{}"), "");
  for (const FakeRequest& request : m_server.Requests()) EXPECT_NE(request.path, "/secret");
}

TEST(ServiceDecodeTest, ReplyDecodingTable) {
  const std::string gz = FakeReply::Gzip("unpacked");
  struct Row {
    const char* name;
    std::string reply;
    int result;
    int status;  // -1: not written
    const char* body;
  };
  const Row rows[] = {
      {"200 with body", "HTTP/1.1 200 OK\r\nA: b\r\n\r\nbody", 0, 200, "body"},
      {"299 is success", "HTTP/1.0 299 X\r\n\r\nx", 0, 299, "x"},
      {"header only", "HTTP/1.1 204 No Content\r\n\r\n", 0, 204, ""},
      {"no header end", "HTTP/1.1 200 OK\r\nA: b\r\n", 4, -1, ""},
      {"HTTP/2 status line", "HTTP/2 200 OK\r\n\r\nx", 5, -1, ""},
      {"not a status line", "hello there\r\n\r\nx", 5, -1, ""},
      {"header line without colon", "HTTP/1.1 200 OK\r\nbroken\r\n\r\nx", 5, -1, ""},
      {"HTTP/1.2 keeps no status", "HTTP/1.2 200 OK\r\n\r\nx", 6, 0, ""},
      {"404", "HTTP/1.1 404 Not Found\r\n\r\nno", 6, 404, ""},
      {"199", "HTTP/1.1 199 X\r\n\r\n", 6, 199, ""},
      {"gzip", "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\n" + gz, 0, 200, "unpacked"},
      {"gzip, upper case", "HTTP/1.1 200 OK\r\ncontent-encoding:  GZIP \r\n\r\n" + gz, 0, 200,
       "unpacked"},
      {"gzip broken", "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\n" + gz.substr(0, 15), 4,
       200, ""},
      {"gzip time set", "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\n" + GzipWithTime("u"), 0,
       200, "u"},
      {"gzip wrong CRC", "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\n" + GzipBadCrc("u"), 4,
       200, ""},
      {"gzip then junk", "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\n" + gz + "junk", 4, 200,
       ""},
      {"raw deflate",
       "HTTP/1.1 200 OK\r\nContent-Encoding: deflate\r\n\r\n" +
           ZlibDeflate("unpacked").substr(2, ZlibDeflate("unpacked").size() - 6),
       0, 200, "unpacked"},
      {"unknown encoding", "HTTP/1.1 200 OK\r\nContent-Encoding: compress\r\n\r\nxx", 4, 200, ""},
      {"gzip named by another header", "HTTP/1.1 200 OK\r\nX-Encoding: gzip\r\n\r\nplain", 0, 200,
       "plain"},
      {"404 with a broken gzip body", "HTTP/1.1 404 NF\r\nContent-Encoding: gzip\r\n\r\nxxxx", 4,
       404, ""},
  };
  for (const Row& row : rows) {
    int status = -1;
    std::string body;
    EXPECT_EQ(THttpRequestService::DecodeReply(row.reply.data(), row.reply.size(), &status, &body),
              row.result)
        << row.name;
    EXPECT_EQ(status, row.status) << row.name;
    EXPECT_EQ(body, row.body) << row.name;
  }
  EXPECT_EQ(THttpRequestService::DecodeReply(nullptr, 0, nullptr, nullptr), 3);
  const char kWithZero[] = "HTTP/1.1 200 OK\r\n\r\na\0b";
  std::string withZero(kWithZero, sizeof(kWithZero) - 1);
  std::string body;
  EXPECT_EQ(THttpRequestService::DecodeReply(withZero.data(), withZero.size(), nullptr, &body), 0);
  EXPECT_EQ(body, std::string("a\0b", 3));
}

}  // namespace
