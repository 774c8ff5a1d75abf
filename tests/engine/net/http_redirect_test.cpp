// Redirects: the request is rebuilt for each new location, at most ten connections.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "fakes/FakeHttpServer.h"
#include "net/THttpClient.h"
#include "net/THttpResponse.h"

namespace {

int Status(THttpBaseClient& client) {
  THttpResponse response;
  if (response.Parse(client.GetBuffer(), client.GetReceivedLength()) != 0) return -1;
  return response.GetStatus();
}

std::string Body(THttpBaseClient& client) {
  const std::string reply(client.GetBuffer(), static_cast<size_t>(client.GetReceivedLength()));
  const size_t end = reply.find("\r\n\r\n");
  return end == std::string::npos ? std::string() : reply.substr(end + 4);
}

TEST(HttpRedirect, GetFollowsToAnotherPortAndPath) {
  FakeHttpServer target;
  target.Route("/final", FakeReply::Text(200, "arrived"));
  ASSERT_TRUE(target.Start());
  FakeHttpServer origin;
  origin.Route("/start", FakeReply::Redirect(302, target.Url("/final?x=1&y=%41")));
  ASSERT_TRUE(origin.Start());

  THttpClient client;
  TServerRecord record{"127.0.0.1", origin.Port()};
  const int got =
      client.Exchange(&record, THttpBaseClient::BuildGetRequest(&record, "/start?old=1", "tk"));
  ASSERT_GT(got, 0);
  EXPECT_EQ(Status(client), 200);
  EXPECT_EQ(Body(client), "arrived");

  ASSERT_EQ(target.RequestCount(), 1u);
  const FakeRequest seen = target.LastRequest();
  EXPECT_EQ(seen.requestLine, "GET /final?x=1&y=%41 HTTP/1.1");
  EXPECT_EQ(seen.Header("Host"), "127.0.0.1:" + std::to_string(target.Port()));
  EXPECT_EQ(seen.HeaderCount("Host"), 1);
  EXPECT_EQ(seen.Header("TS-IM-TOKEN"), "tk");
  // Everything but the target and the Host line is the request that was first sent.
  TServerRecord moved{"127.0.0.1", target.Port()};
  EXPECT_EQ(seen.raw, THttpBaseClient::BuildGetRequest(&moved, "/final?x=1&y=%41", "tk"));
}

TEST(HttpRedirect, PostKeepsItsBody) {
  FakeHttpServer target;
  target.Handle("/landed", [](const FakeRequest& r) { return FakeReply::Text(200, r.body); });
  ASSERT_TRUE(target.Start());
  FakeHttpServer origin;
  origin.Route("/post", FakeReply::Redirect(301, target.Url("/landed")));
  ASSERT_TRUE(origin.Start());

  THttpClient client;
  TServerRecord record{"127.0.0.1", origin.Port()};
  const std::string body = "{\"transid\": \"12\", \"text\": \"hi\"}";
  ASSERT_GT(client.Exchange(&record, THttpBaseClient::BuildPostRequest(
                                         &record, "/post", "application/json", body, "")),
            0);
  EXPECT_EQ(Body(client), body);
  ASSERT_EQ(origin.RequestCount(), 1u);
  EXPECT_EQ(origin.LastRequest().body, body);
  ASSERT_EQ(target.RequestCount(), 1u);
  const FakeRequest seen = target.LastRequest();
  EXPECT_EQ(seen.requestLine, "POST /landed HTTP/1.1");
  EXPECT_EQ(seen.Header("Host"), "127.0.0.1:" + std::to_string(target.Port()));
  EXPECT_EQ(seen.Header("Content-Length"), std::to_string(body.size()));
  EXPECT_EQ(seen.body, body);
}

TEST(HttpRedirect, TenConnectionsAtMost) {
  // hops = connections needed: a chain of hops - 1 redirects, then the answer.
  for (int hops : {9, 10, 11, 12}) {
    SCOPED_TRACE(hops);
    FakeHttpServer server;
    for (int i = 0; i + 1 < hops; ++i) {
      server.Route("/r" + std::to_string(i), FakeReply::Redirect(302, "/placeholder"));
    }
    ASSERT_TRUE(server.Start());
    for (int i = 0; i + 1 < hops; ++i) {
      server.Route(
          "/r" + std::to_string(i),
          FakeReply::Redirect(i % 2 ? 301 : 302, server.Url("/r" + std::to_string(i + 1))));
    }
    server.Route("/r" + std::to_string(hops - 1), FakeReply::Text(200, "end"));
    THttpClient client;
    TServerRecord record{"127.0.0.1", server.Port()};
    const int got = client.Exchange(&record, THttpBaseClient::BuildGetRequest(&record, "/r0", ""));
    if (hops <= THttpBaseClient::kMaxHops) {
      ASSERT_GT(got, 0);
      EXPECT_EQ(Body(client), "end");
    } else {
      EXPECT_EQ(got, 0);
      EXPECT_EQ(client.GetReceivedLength(), 0);
    }
    EXPECT_EQ(server.ConnectionCount(), std::min(hops, THttpBaseClient::kMaxHops));
  }
}

// The reply deadline covers the whole request: a chain of slow redirects, each hop
// well within it, does not hold the worker for a deadline per hop. The same for the
// header blocks of a download.
TEST(HttpRedirect, SlowHopsShareOneReplyDeadline) {
  constexpr int kHops = 9;
  FakeHttpServer server;
  for (int i = 0; i < kHops; ++i) {
    server.Route("/r" + std::to_string(i), FakeReply::Redirect(302, "/placeholder"));
  }
  ASSERT_TRUE(server.Start());
  for (int i = 0; i + 1 < kHops; ++i) {
    FakeReply hop = FakeReply::Redirect(302, server.Url("/r" + std::to_string(i + 1)));
    hop.delayMs = 700;
    server.Route("/r" + std::to_string(i), hop);
  }
  FakeReply last = FakeReply::Text(200, "end");
  last.delayMs = 700;
  server.Route("/r" + std::to_string(kHops - 1), last);

  THttpClient client;
  client.SetReplyDeadline(2000);
  TServerRecord record{"127.0.0.1", server.Port()};
  EXPECT_EQ(client.Exchange(&record, THttpBaseClient::BuildGetRequest(&record, "/r0", "")), 0);
  EXPECT_EQ(client.GetReceivedLength(), 0);
  // About three hops fit in the deadline; a deadline per hop would have let all nine run.
  EXPECT_LE(server.ConnectionCount(), 4);

  const int before = server.ConnectionCount();
  FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(client.ExchangeToFile(&record, "/r0", file, nullptr), 0);
  EXPECT_EQ(std::ftell(file), 0);
  std::fclose(file);
  EXPECT_LE(server.ConnectionCount() - before, 4);

  // With time enough the same chain arrives.
  client.SetReplyDeadline(30000);
  ASSERT_GT(client.Exchange(&record, THttpBaseClient::BuildGetRequest(&record, "/r0", "")), 0);
  EXPECT_EQ(Body(client), "end");
}

TEST(HttpRedirect, UnusableLocationEndsWithTheRedirectReply) {
  FakeHttpServer server;
  server.Route("/relative", FakeReply::Redirect(302, "/elsewhere"));
  server.Route("/nolocation", FakeReply::Text(302, "moved, no location"));
  server.Route("/nohost", FakeReply::Redirect(302, "http:///path"));
  server.Route("/other-scheme", FakeReply::Redirect(302, "ftp://127.0.0.1/file"));
  server.Route("/to-https", FakeReply::Redirect(301, "https://127.0.0.1:1/secure"));
  server.Route("/see-other", FakeReply::Redirect(303, "/elsewhere"));
  server.Route("/elsewhere", FakeReply::Text(200, "should not be asked for"));
  ASSERT_TRUE(server.Start());
  struct Row {
    const char* path;
    int status;
  } rows[] = {{"/relative", 302},     {"/nolocation", 302}, {"/nohost", 302},
              {"/other-scheme", 302}, {"/to-https", 301},   {"/see-other", 303}};
  THttpClient client;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    server.ClearRequests();
    TServerRecord record{"127.0.0.1", server.Port()};
    ASSERT_GT(client.Exchange(&record, THttpBaseClient::BuildGetRequest(&record, row.path, "")), 0);
    EXPECT_EQ(Status(client), row.status);
    EXPECT_EQ(server.RequestCount(), 1u);
  }
}

TEST(HttpRedirect, SchemeRelativeLocationIsFollowed) {
  FakeHttpServer target;
  target.Route("/p", FakeReply::Text(200, "via //"));
  ASSERT_TRUE(target.Start());
  FakeHttpServer origin;
  origin.Route("/s",
               FakeReply::Redirect(302, "//127.0.0.1:" + std::to_string(target.Port()) + "/p"));
  ASSERT_TRUE(origin.Start());
  THttpClient client;
  TServerRecord record{"127.0.0.1", origin.Port()};
  ASSERT_GT(client.Exchange(&record, THttpBaseClient::BuildGetRequest(&record, "/s", "")), 0);
  EXPECT_EQ(Body(client), "via //");
}

TEST(HttpRedirect, FailedLaterHopLeavesNoReplyBehind) {
  int deadPort;
  {
    FakeHttpServer gone;
    ASSERT_TRUE(gone.Start());
    deadPort = gone.Port();
  }
  FakeHttpServer origin;
  origin.Route("/dead", FakeReply::Redirect(
                            302, "http://127.0.0.1:" + std::to_string(deadPort) + "/nowhere"));
  FakeHttpServer stalled;
  FakeReply stall;
  stall.stall = true;
  stalled.Route("/stall", stall);
  ASSERT_TRUE(stalled.Start());
  origin.Route("/stalled", FakeReply::Redirect(302, stalled.Url("/stall")));
  ASSERT_TRUE(origin.Start());
  THttpClient client;
  client.SetIdleTimeout(1);
  for (const char* path : {"/dead", "/stalled"}) {
    SCOPED_TRACE(path);
    TServerRecord record{"127.0.0.1", origin.Port()};
    EXPECT_EQ(client.Exchange(&record, THttpBaseClient::BuildGetRequest(&record, path, "")), 0);
    EXPECT_EQ(client.GetReceivedLength(), 0);
    EXPECT_STREQ(client.GetBuffer(), "");
  }
}

}  // namespace
