// A burst of mixed requests through the facade: every request is answered exactly
// once with its own code and id, and HTTP replies carry their elapsed time.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "ServiceTestSupport.h"
#include "core/TEngineCore.h"
#include "fakes/FakeHttpServer.h"

namespace {

constexpr int kSlowMs = 150;

struct Expected {
  int a = 0;
  std::string text;
  bool slow = false;
};

TEST(ServiceBurstTest, EveryRequestOfABurstIsAnsweredExactlyOnce) {
  CallbackRecorder::Get().Clear();
  FakeHttpServer server;
  server.Route("/ok", FakeReply::Json("{\"code\": 1}"));
  server.Handle("/echo", [](const FakeRequest& r) { return FakeReply::Json(r.body); });
  FakeReply slow = FakeReply::Text(200, "late");
  slow.delayMs = kSlowMs;
  server.Route("/slow", slow);
  ASSERT_TRUE(server.Start());

  TAPIInterface api;
  api.Init();
  api.SetCallBack(&CallbackRecorder::Callback);
  ASSERT_EQ(api.Run(), 1);
  TEngineCore* core = TEngineCore::Instance();

  std::map<std::pair<int, int>, Expected> expected;
  const int kRequests = 300;
  for (int i = 0; i < kRequests; ++i) {
    const int id = 1000 + i;
    switch (i % 6) {
      case 0: {
        bool isSlow = i % 30 == 0;
        api.SendGet(id, server.Url(isSlow ? "/slow" : "/ok").c_str());
        expected[{_REQUEST_HTTP_SENDGET, id}] = {0, isSlow ? "late" : "{\"code\": 1}", isSlow};
        break;
      }
      case 1: {
        std::string body = "{\"n\": " + std::to_string(i) + "}";
        api.SendPost(id, server.Url("/echo").c_str(), body.c_str());
        expected[{_REQUEST_HTTP_SENDPOST, id}] = {0, body};
        break;
      }
      case 2:
        api.SendGet(id, server.Url("/missing").c_str());
        expected[{_REQUEST_HTTP_SENDGET, id}] = {6, ""};
        break;
      case 3: {
        int dialog = api.ReadMsgIM("peer@domain");
        expected[{_REQUEST_HTTP_READMSGIM, dialog}] = {0, ""};
        break;
      }
      case 4: {
        TAPIPacket* p = MakePacket(200203, id, "x");
        p->s4 = "as sent";
        core->PostPacket(p);
        expected[{200203, id}] = {0, "as sent"};
        break;
      }
      default:
        core->PostPacket(MakePacket(777000 + i, id));
        expected[{777000 + i, id}] = {0, ""};
        break;
    }
  }

  auto answered = [&] {
    size_t n = 0;
    for (const auto& r : CallbackRecorder::Get().Reports())
      if (r.code != _EVENT_REPORT_RUN) ++n;
    return n;
  };
  ASSERT_TRUE(WaitUntil([&] { return answered() >= expected.size(); }, std::chrono::seconds(60)))
      << answered() << " of " << expected.size();
  // Stopping the engine afterwards must not bring a second answer for anything.
  api.Release();

  std::map<std::pair<int, int>, int> seen;
  for (const auto& r : CallbackRecorder::Get().Reports()) {
    if (r.code == _EVENT_REPORT_RUN) continue;
    auto key = std::make_pair(r.code, r.id);
    ++seen[key];
    auto it = expected.find(key);
    ASSERT_NE(it, expected.end()) << "unexpected answer " << r.code << "/" << r.id;
    EXPECT_EQ(r.a, it->second.a) << r.code << "/" << r.id;
    EXPECT_EQ(r.text, it->second.text) << r.code << "/" << r.id;
    if (r.code == _REQUEST_HTTP_SENDGET || r.code == _REQUEST_HTTP_SENDPOST) {
      EXPECT_GE(r.b, it->second.slow ? kSlowMs : 0) << r.id;
    } else {
      EXPECT_EQ(r.b, 0) << r.code << "/" << r.id;
    }
  }
  EXPECT_EQ(seen.size(), expected.size());
  for (const auto& kv : seen) EXPECT_EQ(kv.second, 1) << kv.first.first << "/" << kv.first.second;
  EXPECT_EQ(CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_RUN).size(), 4u);
  EXPECT_FALSE(CallbackRecorder::Get().SawOverlap());
}

}  // namespace
