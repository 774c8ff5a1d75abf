// The IM connection state machine against a recording host and a hand-driven
// clock: every limit is crossed by moving the clock, never by waiting.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "TAPIInterface.h"
#include "net/TIMConnState.h"

namespace {

struct Event {
  int code;
  int a;
  std::string text;
  bool operator==(const Event& o) const { return code == o.code && a == o.a && text == o.text; }
};

class RecordingHost : public TIMConnState::Host {
 public:
  void SendToServer(const std::string& text) override { sent.push_back(text); }
  void RaiseEvent(int code, int a, const std::string& text) override {
    events.push_back({code, a, text});
  }
  bool Reconnect() override {
    ++reconnects;
    if (reconnectResults.empty()) return false;
    bool ok = reconnectResults.front();
    reconnectResults.erase(reconnectResults.begin());
    return ok;
  }
  bool IsLocalAddressPresent() override { return addressPresent; }
  void SendLoginPacket() override { ++logins; }
  std::string LoginInfoText() override { return "{\"code\": 1}"; }
  int DeviceType() override { return 2; }
  std::string Account() override { return "1001@im.test"; }
  bool Pause(unsigned ms) override {
    pauses.push_back(ms);
    return false;
  }

  std::vector<std::string> sent;
  std::vector<Event> events;
  std::vector<bool> reconnectResults;
  std::vector<unsigned> pauses;
  int reconnects = 0;
  int logins = 0;
  bool addressPresent = true;
};

class ConnStateTest : public ::testing::Test {
 protected:
  ConnStateTest() : state(&host, [this] { return now; }) { now = 1000000; }

  void Advance(uint64_t ms) { now += ms; }
  void GoOnline() {
    state.SendLogin(true);
    state.OnShortText("t");
    host.events.clear();
    host.sent.clear();
  }

  RecordingHost host;
  uint64_t now;
  TIMConnState state;
};

TEST_F(ConnStateTest, FirstLoginAcceptedRaisesLoginSuccessWithLoginText) {
  state.SendLogin(true);
  EXPECT_EQ(state.GetState(), TIMConnState::kStateFirstLogin);
  EXPECT_EQ(host.logins, 1);
  state.OnShortText("t");
  EXPECT_EQ(state.GetState(), TIMConnState::kStateOnline);
  ASSERT_EQ(host.events.size(), 1u);
  EXPECT_EQ(host.events[0], (Event{_EVENT_LOGIN_SUCCESS, 0, "{\"code\": 1}"}));
  // A second "t" only refreshes the receive time.
  state.OnShortText("t");
  EXPECT_EQ(host.events.size(), 1u);
}

TEST_F(ConnStateTest, KeepAliveTextsAtTheirTicksAndNeverCloserThanTenSeconds) {
  GoOnline();
  std::map<int, std::vector<std::string>> byTick;
  for (int tick = 1; tick <= 15; ++tick) {
    // Just short of the interval: nothing is sent.
    Advance(TIMConnState::kKeepAliveMs - 1);
    state.OnShortText("a");  // the server answers, so silence never ends the session
    state.Step();
    ASSERT_EQ(state.GetTickCount(), tick - 1);
    Advance(1);
    state.Step();
    ASSERT_EQ(state.GetTickCount(), tick);
    byTick[tick] = host.sent;
    host.sent.clear();
  }
  const std::vector<std::string> shortAlive(3, "a");
  const std::vector<std::string> longAlive(5, "r21001@im.test");
  for (int tick = 1; tick <= 15; ++tick) {
    SCOPED_TRACE(tick);
    if (tick % 6 == 0)
      EXPECT_EQ(byTick[tick], longAlive);
    else if (tick % 3 == 0)
      EXPECT_EQ(byTick[tick], shortAlive);
    else
      EXPECT_TRUE(byTick[tick].empty());
  }
  EXPECT_TRUE(host.events.empty());
  EXPECT_EQ(state.GetState(), TIMConnState::kStateOnline);
}

TEST_F(ConnStateTest, NinetySecondsOfSilenceOrALostAddressGoOffline) {
  struct Row {
    const char* name;
    uint64_t silentMs;
    bool addressPresent;
    int expectState;
  } rows[] = {
      {"89.999 s silent", TIMConnState::kSilenceLimitMs - 1, true, TIMConnState::kStateOnline},
      {"90 s silent", TIMConnState::kSilenceLimitMs, true, TIMConnState::kStateOffline},
      {"address gone", 0, false, TIMConnState::kStateOffline},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RecordingHost h;
    uint64_t t = 5000;
    TIMConnState s(&h, [&t] { return t; });
    s.SendLogin(true);
    s.OnShortText("t");
    h.events.clear();
    h.addressPresent = row.addressPresent;
    t += row.silentMs;
    s.Step();
    EXPECT_EQ(s.GetState(), row.expectState);
    if (row.expectState == TIMConnState::kStateOffline) {
      ASSERT_EQ(h.events.size(), 1u);
      EXPECT_EQ(h.events[0], (Event{_EVENT_REPORT_OFFLINE, 0, ""}));
      s.Step();  // once offline, no second event
      EXPECT_EQ(h.events.size(), 1u);
    } else {
      EXPECT_TRUE(h.events.empty());
    }
  }
}

TEST_F(ConnStateTest, ShortTextsInEveryState) {
  struct Row {
    int from;
    const char* text;
    int to;
    std::vector<Event> events;
  } rows[] = {
      {0, "f", 0, {}},
      {1, "f", 4, {{_EVENT_LOGIN_FAIL, 4, ""}}},
      {2, "f", 2, {}},
      {3, "f", 4, {{_EVENT_REPORT_OFFLINE, 0, ""}}},
      {4, "f", 4, {}},
      {5, "f", 4, {}},
      {0, "t", 0, {}},
      {1, "t", 3, {{_EVENT_LOGIN_SUCCESS, 0, "{\"code\": 1}"}}},
      {2, "t", 2, {}},
      {3, "t", 3, {}},
      {4, "t", 3, {{_EVENT_RELOGIN_SUCCESS, 0, ""}}},
      {5, "t", 3, {{_EVENT_RELOGIN_SUCCESS, 0, ""}}},
      {1, "o", 1, {}},
      {3, "o", 3, {}},
      {1, "a", 1, {}},
      {4, "x", 4, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.from) + " " + row.text);
    RecordingHost h;
    TIMConnState s(&h, [] { return uint64_t{1}; });
    s.SetState(row.from);
    s.OnShortText(row.text);
    EXPECT_EQ(s.GetState(), row.to);
    EXPECT_EQ(h.events, row.events);
    EXPECT_TRUE(h.sent.empty());
  }
}

TEST_F(ConnStateTest, OnlyTextsOtherThanProbeAndRefusalRefreshTheReceiveTime) {
  GoOnline();
  Advance(TIMConnState::kSilenceLimitMs - 10);
  state.OnShortText("o");  // probe answers do not count as traffic
  Advance(10);
  state.Step();
  EXPECT_EQ(state.GetState(), TIMConnState::kStateOffline);

  GoOnline();
  Advance(TIMConnState::kSilenceLimitMs - 10);
  state.OnShortText("a");
  Advance(10);
  state.Step();
  EXPECT_EQ(state.GetState(), TIMConnState::kStateOnline);
}

TEST_F(ConnStateTest, FirstLoginWithoutVerdictFailsAfterTwoMinutes) {
  state.SendLogin(true);
  Advance(TIMConnState::kFirstLoginWaitMs - 1);
  state.Step();
  EXPECT_EQ(state.GetState(), TIMConnState::kStateFirstLogin);
  EXPECT_TRUE(host.events.empty());
  Advance(1);
  state.Step();
  EXPECT_EQ(state.GetState(), TIMConnState::kStateFirstLoginFailed);
  ASSERT_EQ(host.events.size(), 1u);
  EXPECT_EQ(host.events[0], (Event{_EVENT_LOGIN_FAIL, 4, ""}));
  Advance(TIMConnState::kFirstLoginWaitMs * 5);
  state.Step();
  EXPECT_EQ(host.events.size(), 1u);
  EXPECT_EQ(host.reconnects, 0);
}

TEST_F(ConnStateTest, ClockSetBackNeverCountsAsALimitReached) {
  state.SendLogin(true);
  now -= 500000;  // far before the login
  state.Step();
  EXPECT_EQ(state.GetState(), TIMConnState::kStateFirstLogin);
  EXPECT_TRUE(host.events.empty());
}

TEST_F(ConnStateTest, OfflineReconnectsEveryTwoMinutesAndReloginWaitsThirtySeconds) {
  GoOnline();
  state.NetworkDown();
  ASSERT_EQ(state.GetState(), TIMConnState::kStateOffline);
  host.reconnectResults = {false, true};

  Advance(TIMConnState::kReconnectMs - 1);
  state.Step();
  EXPECT_EQ(host.reconnects, 0);
  Advance(1);
  state.Step();  // failed probe: still offline, next try two minutes later
  EXPECT_EQ(host.reconnects, 1);
  EXPECT_EQ(state.GetState(), TIMConnState::kStateOffline);
  Advance(TIMConnState::kReconnectMs - 1);
  state.Step();
  EXPECT_EQ(host.reconnects, 1);
  Advance(1);
  state.Step();  // found: IM login without the first-login flag
  EXPECT_EQ(host.reconnects, 2);
  EXPECT_EQ(host.logins, 2);
  EXPECT_EQ(state.GetState(), TIMConnState::kStateRelogin);

  Advance(TIMConnState::kReloginWaitMs - 1);
  state.Step();
  EXPECT_EQ(state.GetState(), TIMConnState::kStateRelogin);
  Advance(1);
  state.Step();
  EXPECT_EQ(state.GetState(), TIMConnState::kStateOffline);
}

TEST_F(ConnStateTest, NetworkDownOnlyWhenOnline) {
  struct Row {
    int from;
    int to;
    size_t events;
  } rows[] = {{0, 0, 0}, {1, 1, 0}, {2, 2, 0}, {3, 4, 1}, {4, 4, 0}, {5, 5, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.from);
    RecordingHost h;
    TIMConnState s(&h, [] { return uint64_t{1}; });
    s.SetState(row.from);
    s.NetworkDown();
    EXPECT_EQ(s.GetState(), row.to);
    ASSERT_EQ(h.events.size(), row.events);
    if (row.events) {
      EXPECT_EQ(h.events[0], (Event{_EVENT_REPORT_OFFLINE, 0, ""}));
    }
  }
}

TEST_F(ConnStateTest, NetworkUpTriesFiveTimesWithPausesThenRelogsIn) {
  struct Row {
    int from;
    std::vector<bool> results;
    int reconnects;
    int logins;
    size_t pauses;
    int to;
  } rows[] = {
      {4, {true}, 1, 1, 0, 5},
      {4, {false, false, true}, 3, 1, 2, 5},
      {4, {false, false, false, false, false, true}, 5, 0, 5, 4},
      {3, {true}, 0, 0, 0, 3},
      {1, {true}, 0, 0, 0, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reconnects);
    RecordingHost h;
    TIMConnState s(&h, [] { return uint64_t{1}; });
    s.SetState(row.from);
    h.reconnectResults = row.results;
    s.NetworkUp();
    EXPECT_EQ(h.reconnects, row.reconnects);
    EXPECT_EQ(h.logins, row.logins);
    EXPECT_EQ(h.pauses.size(), row.pauses);
    EXPECT_EQ(s.GetState(), row.to);
    if (row.logins) {
      // The server's "t" completes the re-login with 100006.
      s.OnShortText("t");
      ASSERT_EQ(h.events.size(), 1u);
      EXPECT_EQ(h.events[0], (Event{_EVENT_RELOGIN_SUCCESS, 0, ""}));
    }
  }
}

TEST_F(ConnStateTest, UnregisterSendsTheTextFiveTimesOnce) {
  GoOnline();
  state.Unregister();
  EXPECT_EQ(host.sent, std::vector<std::string>(5, "R21001@im.test"));
  EXPECT_EQ(state.GetState(), TIMConnState::kStateNone);
  state.Unregister();
  EXPECT_EQ(host.sent.size(), 5u);
  // With state 0 nothing times out or reconnects.
  Advance(TIMConnState::kReconnectMs * 3);
  state.Step();
  EXPECT_EQ(host.reconnects, 0);
  EXPECT_TRUE(host.events.empty());
}

TEST_F(ConnStateTest, LoginFlagChoosesFirstLoginOrRelogin) {
  struct Row {
    int from;
    bool first;
    int to;
  } rows[] = {{0, false, 1}, {0, true, 1}, {4, false, 5}, {4, true, 1}, {3, false, 5}};
  for (const Row& row : rows) {
    RecordingHost h;
    TIMConnState s(&h, [] { return uint64_t{1}; });
    s.SetState(row.from);
    s.SendLogin(row.first);
    EXPECT_EQ(s.GetState(), row.to) << row.from << " " << row.first;
    EXPECT_EQ(h.logins, 1);
  }
}

// The worker and the dispatch thread change the state at once; the lock keeps every
// transition whole (the sanitizer build checks the memory side).
TEST(ConnStateConcurrency, ShortTextsAndStepsFromTwoThreads) {
  class QuietHost : public TIMConnState::Host {
   public:
    void SendToServer(const std::string&) override { ++sends; }
    void RaiseEvent(int code, int, const std::string&) override {
      if (code == _EVENT_LOGIN_SUCCESS || code == _EVENT_RELOGIN_SUCCESS) ++ups;
      if (code == _EVENT_REPORT_OFFLINE || code == _EVENT_LOGIN_FAIL) ++downs;
    }
    bool Reconnect() override { return true; }
    bool IsLocalAddressPresent() override { return true; }
    void SendLoginPacket() override {}
    std::string LoginInfoText() override { return "x"; }
    int DeviceType() override { return 2; }
    std::string Account() override { return "a"; }
    bool Pause(unsigned) override { return false; }
    std::atomic<int> sends{0}, ups{0}, downs{0};
  } host;
  std::atomic<uint64_t> clock{1};
  TIMConnState s(&host, [&clock] { return clock.load(); });
  s.SendLogin(true);
  std::thread dispatch([&] {
    for (int i = 0; i < 20000; ++i) s.OnShortText(i % 2 ? "t" : "f");
  });
  for (int i = 0; i < 20000; ++i) {
    clock += 5000;
    s.Step();
    if (i % 100 == 0) s.NetworkDown();
  }
  dispatch.join();
  // Every way down was preceded by a way up, so the two counts differ by at most one.
  int diff = host.ups.load() - host.downs.load();
  EXPECT_GE(diff, -1);
  EXPECT_LE(diff, 1);
}

}  // namespace
