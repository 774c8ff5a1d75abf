// The request texts the HTTP client writes, byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "core/TEngineCore.h"
#include "net/THttpBaseClient.h"

namespace {

TEST(HttpRequestText, GetIsExact) {
  TServerRecord server{"im.example", 8080};
  EXPECT_EQ(THttpBaseClient::BuildGetRequest(&server, "/a/b.do?x=1", "tok123"),
            "GET /a/b.do?x=1 HTTP/1.1\r\n"
            "Accept: */*\r\n"
            "Accept-Language: zh-cn\r\n"
            "User-Agent: Mozilla/4.0\r\n"
            "TS-IM-TOKEN: tok123\r\n"
            "Connection: Keep-Alive\r\n"
            "Accept-Encoding: gzip,deflate\r\n"
            "Host: im.example:8080\r\n"
            "Content-Length: 0\r\n"
            "\r\n");
}

TEST(HttpRequestText, PostIsExact) {
  TServerRecord server{"im.example", 8080};
  const std::string body = "{\"k\": \"\xe4\xb8\xad\"}";
  EXPECT_EQ(
      THttpBaseClient::BuildPostRequest(&server, "/send.do", "application/json", body, "tok123"),
      "POST /send.do HTTP/1.1\r\n"
      "Accept:  */*\r\n"
      "Accept-Language: zh-cn\r\n"
      "User-Agent: NavroClient/1.0\r\n"
      "Connection: Keep-Alive\r\n"
      "TS-IM-TOKEN: tok123\r\n"
      "Content-Type: application/json\r\n"
      "Accept-Encoding: gzip,deflate\r\n"
      "Host: im.example:8080\r\n"
      "Content-Length: 12\r\n"
      "\r\n" +
          body);
}

TEST(HttpRequestText, HostLineByPortAndMethod) {
  struct Row {
    int port;
    const char* getHost;
    const char* postHost;
  } rows[] = {
      {80, "Host: h.example\r\n", "Host: h.example\r\n"},
      {443, "Host: h.example\r\n", "Host: h.example:443\r\n"},
      {8080, "Host: h.example:8080\r\n", "Host: h.example:8080\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.port);
    TServerRecord server{"h.example", row.port};
    std::string get = THttpBaseClient::BuildGetRequest(&server, "/", "");
    std::string post = THttpBaseClient::BuildPostRequest(&server, "/", "application/json", "", "");
    EXPECT_NE(get.find("\r\n" + std::string(row.getHost)), std::string::npos) << get;
    EXPECT_NE(post.find("\r\n" + std::string(row.postHost)), std::string::npos) << post;
    EXPECT_EQ(get.find("Host:"), get.rfind("Host:"));
  }
  // Without a server record there is no Host line at all; an IPv6 host is bracketed.
  EXPECT_EQ(THttpBaseClient::BuildGetRequest(nullptr, "/", "").find("Host:"), std::string::npos);
  EXPECT_EQ(THttpBaseClient::BuildPostRequest(nullptr, "/", "t", "", "").find("Host:"),
            std::string::npos);
  TServerRecord v6{"::1", 8080};
  EXPECT_NE(THttpBaseClient::BuildGetRequest(&v6, "/", "").find("Host: [::1]:8080\r\n"),
            std::string::npos);
}

TEST(HttpRequestText, TokenComesFromTheEngineCoreAndIsLeftOutWhenEmpty) {
  TServerRecord server{"h.example", 80};
  // No engine core: no token line.
  EXPECT_EQ(THttpBaseClient::BuildGetRequest(&server, "/").find("TS-IM-TOKEN"), std::string::npos);
  TEngineCore core(nullptr);
  EXPECT_EQ(
      THttpBaseClient::BuildPostRequest(&server, "/", "application/json", "{}").find("TS-IM-TOKEN"),
      std::string::npos);
  core.SetToken("abc.def");
  EXPECT_NE(THttpBaseClient::BuildGetRequest(&server, "/").find("\r\nTS-IM-TOKEN: abc.def\r\n"),
            std::string::npos);
  EXPECT_NE(THttpBaseClient::BuildPostRequest(&server, "/", "application/json", "{}")
                .find("\r\nTS-IM-TOKEN: abc.def\r\n"),
            std::string::npos);
}

TEST(HttpRequestText, LineBreaksInPathOrHeaderValuesAreRefused) {
  TServerRecord server{"h.example", 80};
  TServerRecord badHost{"h.example\r\nX-Evil: 1", 80};
  EXPECT_EQ(THttpBaseClient::BuildGetRequest(&server, "/a\r\nX-Evil: 1", ""), "");
  EXPECT_EQ(THttpBaseClient::BuildGetRequest(&server, "/a\nb", ""), "");
  EXPECT_EQ(THttpBaseClient::BuildGetRequest(&server, "/a", "tok\r\nX-Evil: 1"), "");
  EXPECT_EQ(THttpBaseClient::BuildGetRequest(&badHost, "/a", ""), "");
  EXPECT_EQ(THttpBaseClient::BuildGetRequest(&server, "", ""), "");
  EXPECT_EQ(THttpBaseClient::BuildPostRequest(&server, "/a\r", "application/json", "{}", ""), "");
  EXPECT_EQ(THttpBaseClient::BuildPostRequest(&server, "/a", "text/plain\r\nX: 1", "{}", ""), "");
  EXPECT_EQ(THttpBaseClient::BuildPostRequest(&server, "/a", "application/json", "{}", "t\n"), "");
  // The body is data, not a header: line breaks there are fine.
  EXPECT_NE(THttpBaseClient::BuildPostRequest(&server, "/a", "text/plain", "x\r\ny", ""), "");
}

TEST(HttpRequestText, RetargetKeepsMethodBodyAndHeadersAndReplacesTargetAndHost) {
  TServerRecord from{"a.example", 8080};
  TServerRecord to{"b.example", 443};
  const std::string post =
      THttpBaseClient::BuildPostRequest(&from, "/old?q=1", "application/json", "{\"x\":1}", "t");
  const std::string moved = THttpBaseClient::RetargetRequest(post, to, "/new/place?z=2");
  std::string expected = post;
  expected.replace(0, std::string("POST /old?q=1").size(), "POST /new/place?z=2");
  expected.replace(expected.find("Host: a.example:8080"),
                   std::string("Host: a.example:8080").size(), "Host: b.example:443");
  EXPECT_EQ(moved, expected);

  const std::string get = THttpBaseClient::BuildGetRequest(&from, "/old", "");
  EXPECT_EQ(THttpBaseClient::RetargetRequest(get, to, "/n"),
            THttpBaseClient::BuildGetRequest(&to, "/n", ""));
  // A request without a Host line gets one; bad targets are refused.
  const std::string bare = THttpBaseClient::BuildGetRequest(nullptr, "/old", "");
  EXPECT_NE(THttpBaseClient::RetargetRequest(bare, to, "/n").find("\r\nHost: b.example\r\n"),
            std::string::npos);
  EXPECT_EQ(THttpBaseClient::RetargetRequest(get, to, "/n\r\nX: 1"), "");
  EXPECT_EQ(THttpBaseClient::RetargetRequest("not a request", to, "/n"), "");
}

}  // namespace
