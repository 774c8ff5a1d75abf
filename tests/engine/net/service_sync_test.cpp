// Synchronous GET and POST: on the caller's thread, with a client made for the call.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "ServiceTestSupport.h"
#include "core/TEngineCore.h"
#include "fakes/FakeHttpServer.h"

namespace {

TEST(ServiceSyncTest, SyncSendGetToAClosedPortReturnsEmptyPromptly) {
  FakeHttpServer closed;
  ASSERT_TRUE(closed.Start());
  const std::string url = closed.Url("/user/info.do");
  closed.Stop();

  TAPIInterface api;
  api.Init();
  auto started = std::chrono::steady_clock::now();
  EXPECT_STREQ(api.SyncSendGet(0, url.c_str()), "");
  EXPECT_STREQ(api.SyncSendPost(0, url.c_str(), "{}"), "");
  // A refused connection is not waited out (the idle time-out alone is 30 s).
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));

  THttpRequestService service(nullptr);
  int error = 0;
  EXPECT_EQ(service.SyncGet(url, &error), "");
  EXPECT_EQ(error, kSyncNoReply);
}

TEST(ServiceSyncTest, SyncExchangeTable) {
  FakeHttpServer server;
  server.Route("/ok", FakeReply::Json("{\"code\": 1}"));
  server.Handle("/echo",
                [](const FakeRequest& r) { return FakeReply::Json(r.method + " " + r.body); });
  FakeReply gz = FakeReply::Text(200, "packed reply");
  gz.gzip = true;
  server.Route("/gz", gz);
  ASSERT_TRUE(server.Start());
  TAPIInterface api;
  api.Init();
  TEngineCore::Instance()->SetHttpServer("127.0.0.1:" + std::to_string(server.Port()));

  struct Row {
    const char* name;
    std::string url;
    const char* body;  // nullptr: GET
    const char* expected;
    int error;  // -1: untouched
  };
  const Row rows[] = {
      {"GET 200", server.Url("/ok"), nullptr, "{\"code\": 1}", -1},
      {"POST 200", server.Url("/echo"), "{\"a\": 1}", "POST {\"a\": 1}", -1},
      {"gzip reply", server.Url("/gz"), nullptr, "packed reply", -1},
      {"404", server.Url("/none"), nullptr, "", kSyncOtherFailure},
      {"POST 404", server.Url("/none"), "{}", "", kSyncOtherFailure},
      // No fallback to the HTTP server here: without a host nothing is sent.
      {"empty host", "http:///ok", nullptr, "", kSyncOtherFailure},
      {"no host at all", "/ok", nullptr, "", kSyncOtherFailure},
      {"empty URL", "", "{}", "", kSyncOtherFailure},
      {"line break", server.Url("/ok\r\nX: 1"), nullptr, "", kSyncOtherFailure},
  };
  THttpRequestService service(nullptr);
  for (const Row& row : rows) {
    int error = -1;
    std::string got =
        row.body ? service.PostJson(row.url, row.body, &error) : service.SyncGet(row.url, &error);
    EXPECT_EQ(got, row.expected) << row.name;
    EXPECT_EQ(error, row.error) << row.name;
    const char* facade = row.body ? api.SyncSendPost(0, row.url.c_str(), row.body)
                                  : api.SyncSendGet(0, row.url.c_str());
    EXPECT_STREQ(facade, row.expected) << row.name;
  }
  EXPECT_EQ(server.RequestCount(), 10u);  // the five rows that reached the server, twice
  auto post = server.Requests("/echo");
  ASSERT_FALSE(post.empty());
  EXPECT_EQ(post[0].Header("Content-Type"), "application/json");
  EXPECT_STREQ(api.SyncSendGet(0, nullptr), "");
}

TEST(ServiceSyncTest, SyncSendGetWorksWithoutAnEngineCore) {
  FakeHttpServer server;
  server.Route("/ok", FakeReply::Text(200, "fine"));
  ASSERT_TRUE(server.Start());
  TAPIInterface api;
  EXPECT_STREQ(api.SyncSendGet(0, server.Url("/ok").c_str()), "fine");
}

}  // namespace
