// The facade's life cycle, the callback road and dialog ids.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "TAPIInterface.h"
#include "base/TStopFlag.h"
#include "core/TEngineCore.h"
#include "fakes/FakeHttpServer.h"
#include "net/THttpRequestService.h"
#include "support/CallbackRecorder.h"

using namespace std::chrono_literals;

namespace {

class FacadeTest : public ::testing::Test {
 protected:
  void SetUp() override { CallbackRecorder::Get().Clear(); }
};

// Queues through every stage of the life cycle: the id comes back at once, a
// report follows only while the engine runs.
TEST_F(FacadeTest, LifeCycleTable) {
  TAPIInterface api;
  auto& rec = CallbackRecorder::Get();

  // Before Init: nothing runs, ids are returned, nothing reports.
  EXPECT_EQ(api.Run(), 0);
  EXPECT_EQ(api.CreateDialogID(), 0);
  EXPECT_EQ(api.SendGet(5, "http://127.0.0.1:1/"), 5);
  EXPECT_EQ(api.ReadMsgIM("peer"), 0);

  api.Init();
  api.Init();  // a second Init changes nothing
  api.SetCallBack(&CallbackRecorder::Callback);
  // The counter belongs to the process (10001 first in a fresh one) and counts on
  // across the engines of one run.
  const int first = api.CreateDialogID();
  EXPECT_GE(first, 10001);
  EXPECT_EQ(api.CreateDialogID(), first + 1);

  // After Init but before Run: queued, not answered yet.
  int readId = api.ReadMsgIM("peer@im.test");
  EXPECT_EQ(readId, first + 2);

  EXPECT_EQ(api.Run(), 1);
  EXPECT_EQ(api.Run(), 1);  // a second Run starts nothing
  ASSERT_TRUE(rec.WaitForCount(_EVENT_REPORT_RUN, 4));
  auto reply = rec.WaitFor(_REQUEST_HTTP_READMSGIM, readId);
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(reply->a, 0);
  EXPECT_EQ(reply->text, "");

  api.Release();
  EXPECT_EQ(api.Run(), 0);
  EXPECT_EQ(api.CreateDialogID(), 0);
  size_t before = rec.Reports().size();
  EXPECT_EQ(api.SendGet(7, "http://127.0.0.1:1/"), 7);
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(rec.Reports().size(), before);
  EXPECT_EQ(rec.Count(_REQUEST_HTTP_SENDGET, 7), 0u);
  // exactly four workers announced themselves
  EXPECT_EQ(rec.ReportsWith(_EVENT_REPORT_RUN).size(), 4u);

  // Init after Release brings a working engine back.
  api.Init();
  EXPECT_EQ(api.Run(), 1);
  int again = api.ReadMsgIM("peer");
  EXPECT_TRUE(rec.WaitFor(_REQUEST_HTTP_READMSGIM, again).has_value());
}

TEST_F(FacadeTest, EveryQueuedRequestIsAnsweredOnceAcrossThreadsWithoutOverlap) {
  TAPIInterface api;
  api.Init();
  api.SetCallBack(&CallbackRecorder::Callback);
  api.Run();
  auto& rec = CallbackRecorder::Get();

  constexpr int kThreads = 4;
  constexpr int kPerThread = 50;
  std::vector<std::thread> callers;
  std::vector<std::vector<int>> ids(kThreads);
  for (int t = 0; t < kThreads; ++t) {
    callers.emplace_back([&, t] {
      for (int i = 0; i < kPerThread; ++i) ids[t].push_back(api.ReadMsgIM("peer"));
    });
  }
  for (auto& c : callers) c.join();
  ASSERT_TRUE(rec.WaitForCount(_REQUEST_HTTP_READMSGIM, kThreads * kPerThread, 20s));
  std::this_thread::sleep_for(100ms);
  for (auto& list : ids)
    for (int id : list) EXPECT_EQ(rec.Count(_REQUEST_HTTP_READMSGIM, id), 1u) << id;
  EXPECT_FALSE(rec.SawOverlap());
  // Reports come on engine threads, never on the caller's.
  for (const auto& r : rec.Reports()) EXPECT_NE(r.thread, std::this_thread::get_id());
  api.Release();
}

std::atomic<int> g_reentered{0};

void ReentrantCallback(int method, int, int, int, const char*) {
  // A callback that reports again on its own thread must not block on the
  // callback lock it already holds.
  if (method == 1 && g_reentered++ == 0) TAPIInterface::Instance()->NotifyCallback(2, 0, 0, 0, "");
}

TEST_F(FacadeTest, CallbackMayReenterTheFacadeOnItsOwnThread) {
  TAPIInterface api;
  api.Init();
  api.SetCallBack(&ReentrantCallback);
  std::thread t([&] { api.NotifyCallback(1, 0, 0, 0, "x"); });
  t.join();
  EXPECT_EQ(g_reentered.load(), 1);
  api.Release();
}

TEST_F(FacadeTest, PacketWithoutCallbackIsFreedAndNotDelivered) {
  TAPIInterface api;
  api.Init();
  TAPIPacket* p = new TAPIPacket;
  p->s4 = std::string(1000, 'x');
  api.DeliverPacket(p);  // LeakSanitizer proves it was freed
  api.SetCallBack(&CallbackRecorder::Callback);
  api.DeliverPacket(new TAPIPacket);
  EXPECT_EQ(CallbackRecorder::Get().Reports().size(), 1u);
  api.Release();
  // Without a callback lock (after Release) a packet is still freed.
  api.DeliverPacket(new TAPIPacket);
}

TEST_F(FacadeTest, CallbackGetsCodeResultIdExtraAndText) {
  TAPIInterface api;
  api.Init();
  api.SetCallBack(&CallbackRecorder::Callback);
  TAPIPacket* p = new TAPIPacket;
  p->code = _REQUEST_HTTP_SENDGET;
  p->id = 42;
  p->a = 3;
  p->b = 17;
  p->s4 = "body";
  EXPECT_EQ(p->state, 0);
  api.DeliverPacket(p);
  auto r = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_SENDGET, 42);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->a, 3);
  EXPECT_EQ(r->b, 17);
  EXPECT_EQ(r->text, "body");
  api.Release();
}

// The stop flag that ends the engine's loops comes down once the release is done: a
// synchronous exchange after it works, and so does an engine started after it.
TEST_F(FacadeTest, AfterAReleaseTheProcessGoesOnWorking) {
  FakeHttpServer server;
  server.Route("/sync", FakeReply::Text(200, "body"));
  ASSERT_TRUE(server.Start());
  const std::string url = server.Url("/sync");
  TAPIInterface api;
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    api.Init();
    api.SetCallBack(&CallbackRecorder::Callback);
    EXPECT_EQ(api.Run(), 1);
    EXPECT_STREQ(api.SyncSendGet(0, url.c_str()), "body");
    api.Release();
    EXPECT_FALSE(IsEngineStopping());
    EXPECT_STREQ(api.SyncSendGet(0, url.c_str()), "body");
    EXPECT_STREQ(api.SyncSendPost(0, url.c_str(), "{}"), "body");
  }
  server.Stop();
}

TEST_F(FacadeTest, IdleReleaseIsQuick) {
  TAPIInterface api;
  api.Init();
  api.SetCallBack(&CallbackRecorder::Callback);
  api.Run();
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_REPORT_RUN, 4));
  auto start = std::chrono::steady_clock::now();
  api.Release();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
}

// Real requests inside a long receive wait (a server that never answers) when the
// engine is released: Release wakes them, joins the workers and returns; nothing
// leaks, and no interrupted request is reported after Release.
TEST_F(FacadeTest, ReleaseWhileWorkersAreBusyIsCleanAndPrompt) {
  FakeHttpServer server;
  std::atomic<int> inside{0};
  server.Handle("/stall", [&](const FakeRequest&) {
    ++inside;
    FakeReply reply;
    reply.stall = true;
    return reply;
  });
  ASSERT_TRUE(server.Start());
  const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/stall";
  TAPIInterface api;
  api.Init();
  api.SetCallBack(&CallbackRecorder::Callback);
  api.Run();
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(api.SendGet(i, url.c_str()), i);
  // Every worker is inside a request (generous deadline for a loaded machine).
  auto deadline = std::chrono::steady_clock::now() + 60s;
  while (inside < 4 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(10ms);
  ASSERT_EQ(inside.load(), 4);
  auto start = std::chrono::steady_clock::now();
  api.Release();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  const size_t afterRelease = CallbackRecorder::Get().ReportsWith(_REQUEST_HTTP_SENDGET).size();
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(CallbackRecorder::Get().ReportsWith(_REQUEST_HTTP_SENDGET).size(), afterRelease);
  EXPECT_EQ(afterRelease, 0u);
  server.Stop();
}

}  // namespace
