// The request queue and its workers, driven with executors of the test's own.
#include <gtest/gtest.h>

#include <atomic>
#include <iterator>
#include <map>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "ServiceTestSupport.h"
#include "base/TStopFlag.h"
#include "db/TAccountScope.h"
#include "net/TBackgroundWorker.h"

namespace {

constexpr int kSlowCode = _REQUEST_HTTP_UPLOADDUMP;

class ServiceQueueTest : public ::testing::Test {
 protected:
  void SetUp() override { CallbackRecorder::Get().Clear(); }
};

TEST_F(ServiceQueueTest, EachWorkerReportsItsStartOnceAndStartTwiceStartsOnce) {
  THttpRequestService service(&RecordingOwner);
  EXPECT_EQ(service.Start(), 1);
  EXPECT_EQ(service.Start(), 1);
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_REPORT_RUN, 4));
  for (int i = 0; i < THttpRequestService::kWorkerCount; ++i) EXPECT_TRUE(service.IsWorkerAlive(i));
  service.Stop();
  EXPECT_EQ(CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_RUN).size(), 4u);
  for (const auto& r : CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_RUN)) {
    EXPECT_EQ(r.a, 0);
    EXPECT_EQ(r.id, 0);
    EXPECT_EQ(r.text, "");
  }
  for (int i = 0; i < THttpRequestService::kWorkerCount; ++i)
    EXPECT_FALSE(service.IsWorkerAlive(i));
}

// Four requests run at once, each on its own worker and client slot; the fifth
// waits for a free worker and then runs on the slot that worker owns.
TEST_F(ServiceQueueTest, FourRunAtOnceThenTheFifthOnTheFreedWorkersSlot) {
  Gate gate;
  std::mutex mutex;
  std::map<int, int> slotOfId;
  std::map<int, std::thread::id> threadOfSlot;
  bool slotSharedByThreads = false;
  THttpRequestService service(&RecordingOwner);
  service.RegisterExecutor(kSlowCode, [&](THttpRequestService&, TAPIPacket* p) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      slotOfId[p->id] = p->state;
      auto it = threadOfSlot.find(p->state);
      if (it == threadOfSlot.end())
        threadOfSlot[p->state] = std::this_thread::get_id();
      else if (it->second != std::this_thread::get_id())
        slotSharedByThreads = true;
    }
    gate.Enter();
    return 0;
  });
  service.Start();
  for (int id = 1; id <= 5; ++id) service.Enqueue(MakePacket(kSlowCode, id));

  ASSERT_TRUE(gate.WaitInside(4));
  // All four workers are held: the fifth cannot have started.
  EXPECT_EQ(service.QueuedCount(), 1u);
  EXPECT_EQ(gate.Entered(), 4);
  std::set<int> slots;
  int heldIds = 0;
  {
    std::lock_guard<std::mutex> lock(mutex);
    for (auto& kv : slotOfId) slots.insert(kv.second);
    heldIds = static_cast<int>(slotOfId.size());
    EXPECT_EQ(slotOfId.count(5), 0u);
  }
  EXPECT_EQ(heldIds, 4);
  EXPECT_EQ(slots, (std::set<int>{0, 1, 2, 3}));

  gate.Pass(1);
  ASSERT_TRUE(gate.WaitEntered(5));
  ASSERT_TRUE(gate.WaitInside(4));
  int freedSlot = -1;
  {
    // The one answered request freed exactly one worker, which took the fifth.
    auto replies = CallbackRecorder::Get().ReportsWith(kSlowCode);
    ASSERT_EQ(replies.size(), 1u);
    std::lock_guard<std::mutex> lock(mutex);
    freedSlot = slotOfId[replies[0].id];
    EXPECT_EQ(slotOfId[5], freedSlot);
  }
  gate.Open();
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(kSlowCode, 5));
  service.Stop();
  EXPECT_FALSE(slotSharedByThreads);
  for (int id = 1; id <= 5; ++id) EXPECT_EQ(CallbackRecorder::Get().Count(kSlowCode, id), 1u);
}

// Codes without an executor come back unchanged but for a = 0.
TEST_F(ServiceQueueTest, CodesWithoutExecutorAreAnsweredUnchangedWithResultZero) {
  THttpRequestService service(&RecordingOwner);
  service.Start();
  const int codes[] = {200203, _REQUEST_HTTP_READMSGIM, 123456, 200999};
  int id = 40;
  for (int code : codes) {
    TAPIPacket* p = MakePacket(code, ++id, "peer");
    p->a = 9;
    p->b = 77;
    p->s4 = "kept";
    service.Enqueue(p);
  }
  id = 40;
  for (int code : codes) {
    auto r = CallbackRecorder::Get().WaitFor(code, ++id);
    ASSERT_TRUE(r) << code;
    EXPECT_EQ(r->a, 0) << code;
    EXPECT_EQ(r->b, 77) << code;
    EXPECT_EQ(r->text, "kept") << code;
  }
  service.Stop();
  id = 40;
  for (int code : codes) EXPECT_EQ(CallbackRecorder::Get().Count(code, ++id), 1u);
}

// A history fetch that fails is run once more; its single answer carries the
// second result. One that succeeds first time runs once.
TEST_F(ServiceQueueTest, HistoryFetchIsRetriedExactlyOnce) {
  struct Row {
    int id;
    std::vector<int> results;  // what successive runs return
    int expectedRuns;
    int expectedA;
  };
  const std::vector<Row> rows = {
      {1, {0, 9, 9}, 1, 0},  // success at once: no retry
      {2, {5, 0, 9}, 2, 0},  // fails, then succeeds
      {3, {3, 4, 9}, 2, 4},  // fails twice: the second result is the answer
  };
  std::mutex mutex;
  std::map<int, int> runs;
  THttpRequestService service(&RecordingOwner);
  service.RegisterExecutor(_REQUEST_HTTP_GETHISTORYMSG, [&](THttpRequestService&, TAPIPacket* p) {
    std::lock_guard<std::mutex> lock(mutex);
    int n = runs[p->id]++;
    for (const Row& row : rows)
      if (row.id == p->id) return row.results[n];
    return -99;
  });
  service.Start();
  for (const Row& row : rows) service.Enqueue(MakePacket(_REQUEST_HTTP_GETHISTORYMSG, row.id));
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_REQUEST_HTTP_GETHISTORYMSG, rows.size()));
  service.Stop();
  for (const Row& row : rows) {
    EXPECT_EQ(CallbackRecorder::Get().Count(_REQUEST_HTTP_GETHISTORYMSG, row.id), 1u);
    auto r = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_GETHISTORYMSG, row.id);
    EXPECT_EQ(r->a, row.expectedA) << row.id;
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(runs[row.id], row.expectedRuns) << row.id;
  }
}

// Internal work (100, 101, any code below 1000) is never answered and its packet
// is freed once by the service, also when the executor throws or is missing.
TEST_F(ServiceQueueTest, InternalCodesRunOnceAreNeverAnsweredAndFreedOnce) {
  std::atomic<int> friendRuns{0};
  std::atomic<int> peerRuns{0};
  THttpRequestService service(&RecordingOwner);
  service.RegisterExecutor(kInternalFriendSync, [&](THttpRequestService&, TAPIPacket* p) {
    ++friendRuns;
    p->s4 = "friends";
    return 0;
  });
  service.RegisterExecutor(kInternalPeerMessage, [&](THttpRequestService&, TAPIPacket*) -> int {
    ++peerRuns;
    throw std::runtime_error("handler failed");
  });
  std::atomic<int> marker{0};
  service.RegisterExecutor(kSlowCode, [&](THttpRequestService&, TAPIPacket*) {
    ++marker;
    return 0;
  });
  service.Start();
  for (int i = 0; i < 20; ++i) {
    service.Enqueue(MakePacket(kInternalFriendSync, i));
    service.Enqueue(MakePacket(kInternalPeerMessage, i));
    service.Enqueue(MakePacket(999, i));  // internal, no executor
  }
  ASSERT_TRUE(WaitUntil([&] { return friendRuns == 20 && peerRuns == 20; }));
  ASSERT_TRUE(WaitUntil([&] { return service.QueuedCount() == 0; }));
  service.Enqueue(MakePacket(kSlowCode, 1));
  ASSERT_TRUE(CallbackRecorder::Get().WaitFor(kSlowCode, 1));
  service.Stop();
  EXPECT_EQ(friendRuns, 20);
  EXPECT_EQ(peerRuns, 20);
  for (const auto& r : CallbackRecorder::Get().Reports())
    EXPECT_TRUE(r.code == _EVENT_REPORT_RUN || r.code == kSlowCode) << r.code;
}

// Work queued for a login that is over (a logout, a kick-out, another database) is
// run, run without an answer, answered at once without running, or dropped, as its
// code's rule says; what runs knows the login is over, and what it raises does not
// reach the caller.
TEST_F(ServiceQueueTest, WorkQueuedForALoginThatIsOverFollowsItsCodesRule) {
  constexpr int kRefused = 77;
  // A failed history fetch would run twice.
  auto RanResult = [](int code) { return code == _REQUEST_HTTP_GETHISTORYMSG ? 0 : 5; };
  const struct {
    int code;
    TEndedLogin rule;  // none registered when action is kRun and result is -1
    bool runsWhenOver;
    bool answeredWhenOver;
    int answerWhenOver;  // the a of that answer
  } codes[] = {
      {_REQUEST_HTTP_GROUPCOMMAND, TEndedLogin::Answer(kRefused), false, true, kRefused},
      {_REQUEST_HTTP_READMSGIM, TEndedLogin::Answer(kRefused), false, true, kRefused},
      {_REQUEST_HTTP_GETHISTORYMSG, TEndedLogin::Answer(0), false, true, 0},
      {_REQUEST_HTTP_SENDMSGIM, TEndedLogin::RunQuiet(), true, false, 0},
      {_REQUEST_HTTP_DOWNFILE, TEndedLogin::Run(), true, true, 5},
      {_REQUEST_HTTP_UPLOADFILE, {TEndedLogin::kRun, -1}, true, true, 5},  // no rule: runs
      {kInternalPeerMessage, TEndedLogin::Drop(), false, false, 0},
      {kInternalFriendSync, {TEndedLogin::kRun, -1}, false, false, 0},  // no rule: dropped
  };
  const struct {
    const char* name;
    void (*end)();
    bool over;
    bool stale;  // another database: what runs stores nothing
  } rows[] = {
      {"the login goes on", nullptr, false, false},
      {"a logout or a kick-out", &TAccountScope::EndLogin, true, false},
      {"another database", &TAccountScope::NewDatabase, true, true},
  };
  int id = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CallbackRecorder::Get().Clear();
    ++id;
    Gate gate;
    std::mutex mutex;
    std::map<int, int> runs;
    std::map<int, bool> sawOver;
    std::map<int, bool> sawStale;
    THttpRequestService service(&RecordingOwner);
    for (const auto& c : codes) {
      auto executor = [&, code = c.code](THttpRequestService& s, TAPIPacket* p) {
        {
          std::lock_guard<std::mutex> lock(mutex);
          ++runs[code];
          sawOver[code] = TAccountScope::IsLoginOver();
          sawStale[code] = TAccountScope::IsStale();
        }
        s.RaiseEvent(_EVENT_REPORT_FRIENDNOTIFY, 0, p->id, "");
        p->s4 = "ran";
        return RanResult(code);
      };
      if (c.rule.result == -1)
        service.RegisterExecutor(c.code, executor);
      else
        service.RegisterExecutor(c.code, c.rule, executor);
    }
    service.RegisterExecutor(kSlowCode, [&](THttpRequestService&, TAPIPacket*) {
      gate.Enter();
      return 0;
    });
    service.Start();
    for (int i = 0; i < THttpRequestService::kWorkerCount; ++i)
      service.Enqueue(MakePacket(kSlowCode, 100 + i));
    ASSERT_TRUE(gate.WaitInside(THttpRequestService::kWorkerCount));
    for (const auto& c : codes) service.Enqueue(MakePacket(c.code, id, "peer@a.test", "300"));
    if (row.end) row.end();
    gate.Open();
    ASSERT_TRUE(WaitUntil([&] { return service.QueuedCount() == 0; }));
    for (const auto& c : codes) {
      const bool answered = row.over ? c.answeredWhenOver : c.code >= kInternalCodeLimit;
      if (answered) {
        ASSERT_TRUE(CallbackRecorder::Get().WaitFor(c.code, id)) << c.code;
      }
    }
    service.Stop();
    for (const auto& c : codes) {
      SCOPED_TRACE(c.code);
      const bool internal = c.code < kInternalCodeLimit;
      const bool ran = row.over ? c.runsWhenOver : true;
      const bool answered = row.over ? c.answeredWhenOver : !internal;
      std::lock_guard<std::mutex> lock(mutex);
      EXPECT_EQ(runs[c.code], ran ? 1 : 0);
      EXPECT_EQ(CallbackRecorder::Get().Count(c.code, id), answered ? 1u : 0u);
      if (answered) {
        auto r = CallbackRecorder::Get().WaitFor(c.code, id);
        EXPECT_EQ(r->a, row.over ? c.answerWhenOver : RanResult(c.code));
        EXPECT_EQ(r->text, ran ? "ran" : "");
      }
      if (ran) {
        EXPECT_EQ(sawOver[c.code], row.over);
        EXPECT_EQ(sawStale[c.code], row.stale);
      }
    }
    // What runs for a login that is over tells the caller nothing.
    size_t runsTotal = 0;
    for (const auto& c : codes) runsTotal += runs[c.code];
    EXPECT_EQ(CallbackRecorder::Get().Count(_EVENT_REPORT_FRIENDNOTIFY, id),
              row.over ? 0u : runsTotal);
  }
}

// A request whose login ends while it runs was run: it keeps its one answer, with
// its own result, unless its rule says it answers nobody once the login is over.
TEST_F(ServiceQueueTest, ARequestWhoseLoginEndsWhileItRunsIsAnsweredWithItsResult) {
  const struct {
    int code;
    TEndedLogin rule;
    bool answered;
  } codes[] = {
      {_REQUEST_HTTP_USERCOMMAND, TEndedLogin::Answer(kRequestLoginOver), true},
      {_REQUEST_HTTP_SENDPOST, TEndedLogin::Answer(kRequestLoginOver), true},
      {_REQUEST_HTTP_REVOKEMSG, TEndedLogin::RunQuiet(), false},
  };
  Gate gate;
  THttpRequestService service(&RecordingOwner);
  for (const auto& c : codes) {
    service.RegisterExecutor(c.code, c.rule, [&](THttpRequestService&, TAPIPacket* p) {
      gate.Enter();
      p->s4 = "done";
      return 3;
    });
  }
  service.Start();
  for (const auto& c : codes) service.Enqueue(MakePacket(c.code, 9));
  ASSERT_TRUE(gate.WaitInside(static_cast<int>(std::size(codes))));
  TAccountScope::EndLogin();
  gate.Open();
  ASSERT_TRUE(WaitUntil([&] { return gate.Inside() == 0 && service.QueuedCount() == 0; }));
  for (const auto& c : codes)
    if (c.answered) {
      ASSERT_TRUE(CallbackRecorder::Get().WaitFor(c.code, 9)) << c.code;
    }
  service.Stop();
  for (const auto& c : codes) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(CallbackRecorder::Get().Count(c.code, 9), c.answered ? 1u : 0u);
    if (!c.answered) continue;
    auto r = CallbackRecorder::Get().WaitFor(c.code, 9);
    EXPECT_EQ(r->a, 3);
    EXPECT_EQ(r->text, "done");
  }
}

// An executor may also leave its result in packet->a instead of returning it.
TEST_F(ServiceQueueTest, ExecutorsThatFillTheResultInPlaceAreAnsweredWithIt) {
  THttpRequestService service(&RecordingOwner);
  service.RegisterExecutor(kSlowCode, [](THttpRequestService&, TAPIPacket* p) {
    p->a = 7;
    p->s4 = "filled " + p->s1;
  });
  service.Start();
  service.Enqueue(MakePacket(kSlowCode, 3, "in place"));
  auto r = CallbackRecorder::Get().WaitFor(kSlowCode, 3);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->a, 7);
  EXPECT_EQ(r->text, "filled in place");
  service.Stop();
}

TEST_F(ServiceQueueTest, AThrowingExecutorIsStillAnsweredOnce) {
  THttpRequestService service(&RecordingOwner);
  service.RegisterExecutor(kSlowCode, [](THttpRequestService&, TAPIPacket*) -> int {
    throw std::runtime_error("boom");
  });
  service.Start();
  service.Enqueue(MakePacket(kSlowCode, 5));
  auto r = CallbackRecorder::Get().WaitFor(kSlowCode, 5);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->a, kExecutorFault);
  service.Stop();
  EXPECT_EQ(CallbackRecorder::Get().Count(kSlowCode, 5), 1u);
}

// Stop answers what is running, frees what is queued without a callback, and
// frees whatever arrives afterwards.
TEST_F(ServiceQueueTest, StopFreesQueuedRequestsWithoutAnsweringThem) {
  Gate gate;
  THttpRequestService service(&RecordingOwner);
  service.RegisterExecutor(kSlowCode, [&](THttpRequestService&, TAPIPacket*) {
    gate.Enter();
    return 0;
  });
  service.Start();
  for (int id = 1; id <= 24; ++id) service.Enqueue(MakePacket(kSlowCode, id));
  ASSERT_TRUE(gate.WaitInside(4));

  std::thread stopper([&] { service.Stop(); });
  ASSERT_TRUE(WaitUntil([&] { return service.IsStopping(); }));
  gate.Open();
  stopper.join();

  EXPECT_EQ(gate.Entered(), 4);
  EXPECT_EQ(CallbackRecorder::Get().ReportsWith(kSlowCode).size(), 4u);
  EXPECT_EQ(service.QueuedCount(), 0u);
  service.Enqueue(MakePacket(kSlowCode, 99));
  EXPECT_EQ(service.QueuedCount(), 0u);
  service.Stop();
  EXPECT_EQ(CallbackRecorder::Get().ReportsWith(kSlowCode).size(), 4u);
}

TEST_F(ServiceQueueTest, AServiceNeverStartedFreesItsQueueUnanswered) {
  {
    THttpRequestService service(&RecordingOwner);
    for (int id = 1; id <= 50; ++id) service.Enqueue(MakePacket(_REQUEST_HTTP_SENDGET, id));
    EXPECT_EQ(service.QueuedCount(), 50u);
  }
  EXPECT_TRUE(CallbackRecorder::Get().Reports().empty());
}

TEST_F(ServiceQueueTest, WorkersEndWhenTheEngineStops) {
  THttpRequestService service(&RecordingOwner);
  service.Start();
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_REPORT_RUN, 4));
  SetEngineStopping(true);
  bool ended = WaitUntil([&] {
    for (int i = 0; i < THttpRequestService::kWorkerCount; ++i)
      if (service.IsWorkerAlive(i)) return false;
    return true;
  });
  SetEngineStopping(false);
  EXPECT_TRUE(ended);
  EXPECT_FALSE(service.IsRunning());
  service.Stop();
}

class FakeBackgroundWorker : public TBackgroundWorker {
 public:
  struct Log {
    std::mutex mutex;
    int starts = 0;
    int stops = 0;
    std::vector<int> logins;
  };
  explicit FakeBackgroundWorker(Log* log) : m_log(log) {}
  int Start() override {
    std::lock_guard<std::mutex> lock(m_log->mutex);
    ++m_log->starts;
    return 1;
  }
  void Stop() override {
    std::lock_guard<std::mutex> lock(m_log->mutex);
    ++m_log->stops;
  }
  void PostLoginTasks(int relogin) override {
    std::lock_guard<std::mutex> lock(m_log->mutex);
    m_log->logins.push_back(relogin);
  }

 private:
  Log* m_log;
};

TEST_F(ServiceQueueTest, LoginIsForwardedToTheBackgroundWorkerWhenOneIsInstalled) {
  {
    // Without a background worker a login changes nothing.
    THttpRequestService service(&RecordingOwner);
    service.Start();
    service.SetLoggedIn(0);
    service.Stop();
  }
  FakeBackgroundWorker::Log log;
  {
    THttpRequestService service(&RecordingOwner);
    service.SetBackgroundWorkerFactory(
        [&](THttpRequestService&) { return std::make_unique<FakeBackgroundWorker>(&log); });
    service.SetLoggedIn(0);  // not started: no worker yet
    service.Start();
    service.Start();
    service.SetLoggedIn(0);
    service.SetLoggedIn(1);
    service.Stop();
    service.SetLoggedIn(0);  // stopped: gone again
  }
  std::lock_guard<std::mutex> lock(log.mutex);
  EXPECT_EQ(log.starts, 1);
  EXPECT_EQ(log.stops, 1);
  EXPECT_EQ(log.logins, (std::vector<int>{0, 1}));
}

}  // namespace
