// The IM session inside a running engine against the loopback IM server. The HTTP
// part of the login step is replaced by a function that returns the result a row
// asks for, and the session's clock is moved by hand: nothing waits real minutes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "fakes/FakeIMSessionServer.h"
#include "net/TIMChannel.h"
#include "net/TIMPacket.h"
#include "net/TIMSession.h"
#include "support/CallbackRecorder.h"

namespace {

constexpr const char* kAccount = "1001@im.test";
constexpr const char* kLoginText = "{\"code\": 1,\"msg\": \"OK\",\"result\": {\"firstreg\": 0}}";

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CallbackRecorder::Get().Clear();
    api.Init();
    api.SetCallBack(&CallbackRecorder::Callback);
    api.SetDeviceType(2);
    core = TEngineCore::Instance();
    session = core->GetIMSession();
    session->SetClock([this] { return clock.load(); });
    session->SetPauseMs(20);
    session->SetLoginFunction([this] {
      ++loginCalls;
      return loginResult.load();
    });
    core->SetProxyServer("127.0.0.1:" + std::to_string(im.Port()));
    core->SetUserAccount("1001", kAccount);
    core->SetProfile("Me", "", "", "", 3, 0);
    core->SetLoginInfo(kLoginText);
    api.SetMobileLogin("13800000000", "+86", "1234", "DEVICE-1", 0);
    api.Run();
  }
  void TearDown() override { api.Release(); }

  void Advance(uint64_t ms) { clock += ms; }
  // Waits until the worker finished n more rounds, so a moved clock has been seen.
  bool WaitRounds(uint64_t n) {
    const uint64_t target = session->RoundCount() + n;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (session->RoundCount() < target) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }
  size_t Count(int code) { return CallbackRecorder::Get().ReportsWith(code).size(); }
  void LogIn() {
    api.MakeRegister();
    ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_LOGIN_SUCCESS, std::nullopt,
                                                std::chrono::seconds(20)));
    ASSERT_EQ(session->ConnState().GetState(), TIMConnState::kStateOnline);
  }

  FakeIMSessionServer im;
  TAPIInterface api;
  TEngineCore* core = nullptr;
  TIMSession* session = nullptr;
  std::atomic<uint64_t> clock{1000000000};
  std::atomic<int> loginCalls{0};
  std::atomic<int> loginResult{0};
};

TEST_F(SessionTest, LoginRefusedRaisesOnceAndIsNeverRetried) {
  for (int r : {5, 6, 7}) {
    SCOPED_TRACE(r);
    CallbackRecorder::Get().Clear();
    loginCalls = 0;
    loginResult = r;
    api.MakeRegister();
    auto event = CallbackRecorder::Get().WaitFor(_EVENT_LOGIN_FAIL);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->a, r);
    EXPECT_EQ(session->GetPhase(), TIMSession::kPhaseRefused);
    Advance(10 * 60 * 1000);
    ASSERT_TRUE(WaitRounds(5));
    api.SetNetworkState(1);  // a network change does not log in again either
    ASSERT_TRUE(WaitRounds(5));
    EXPECT_EQ(loginCalls.load(), 1);
    EXPECT_EQ(Count(_EVENT_LOGIN_FAIL), 1u);
    EXPECT_EQ(api.LoginState(), 0);
  }
}

TEST_F(SessionTest, PassingFailureRaisesOnceThenRetriesSilentlyEveryTwoMinutes) {
  struct Row {
    int result;
    int a;
  } rows[] = {{4, 4}, {3, 3}, {2, 3}, {-1, 3}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.result);
    CallbackRecorder::Get().Clear();
    loginCalls = 0;
    loginResult = row.result;
    api.MakeRegister();
    auto event = CallbackRecorder::Get().WaitFor(_EVENT_LOGIN_FAIL);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->a, row.a);
    EXPECT_EQ(session->GetPhase(), TIMSession::kPhaseRetry);

    Advance(TIMSession::kAutoLoginMs);
    ASSERT_TRUE(im.WaitFor([&] { return loginCalls.load() == 2; }));
    Advance(TIMSession::kAutoLoginMs - 1);
    ASSERT_TRUE(WaitRounds(5));
    EXPECT_EQ(loginCalls.load(), 2);
    Advance(1);
    ASSERT_TRUE(im.WaitFor([&] { return loginCalls.load() == 3; }));
    ASSERT_TRUE(WaitRounds(3));
    EXPECT_EQ(Count(_EVENT_LOGIN_FAIL), 1u);
  }
}

TEST_F(SessionTest, NoAutomaticRetryWithALoginModeOtherThanZero) {
  api.SetMobileLogin("13800000000", "+86", "1234", "DEVICE-1", 1);
  loginResult = 4;
  api.MakeRegister();
  ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_LOGIN_FAIL));
  Advance(TIMSession::kAutoLoginMs * 3);
  ASSERT_TRUE(WaitRounds(5));
  api.SetNetworkState(1);
  ASSERT_TRUE(WaitRounds(5));
  EXPECT_EQ(loginCalls.load(), 1);
}

TEST_F(SessionTest, UnansweredProbeFailsWithFourAndSendsNoLogin) {
  im.SetProbeAnswered(false);
  api.MakeRegister();
  auto event =
      CallbackRecorder::Get().WaitFor(_EVENT_LOGIN_FAIL, std::nullopt, std::chrono::seconds(20));
  ASSERT_TRUE(event);
  EXPECT_EQ(event->a, 4);
  EXPECT_EQ(session->GetPhase(), TIMSession::kPhaseRetry);
  EXPECT_GE(im.CountText("o"), 10u);  // ten probes from the loopback address
  EXPECT_TRUE(im.LoginPackets().empty());
}

TEST_F(SessionTest, LoginRegistersWithAKeyTheServerAcceptsAndRaisesOneSuccess) {
  LogIn();
  ASSERT_TRUE(WaitRounds(5));
  auto successes = CallbackRecorder::Get().ReportsWith(_EVENT_LOGIN_SUCCESS);
  ASSERT_EQ(successes.size(), 1u);
  EXPECT_EQ(successes[0].a, 0);
  EXPECT_EQ(successes[0].text, kLoginText);
  EXPECT_EQ(api.LoginState(), 1);
  EXPECT_EQ(session->GetLocalAddress(), "127.0.0.1");

  auto packets = im.LoginPackets();
  ASSERT_EQ(packets.size(), 1u);
  const Json::Value& p = packets[0];
  EXPECT_TRUE(FakeIMSessionServer::LoginKeyValid(p));
  EXPECT_EQ(p["from"].asString(), kAccount);
  EXPECT_EQ(p["to"].asString(), kAccount);
  EXPECT_EQ(p["client"].asInt(), 1);
  EXPECT_NE(p["id"].asString().find("@127.0.0.1"), std::string::npos);
  EXPECT_EQ(p["params"]["userid"].asString(), "1001");
  EXPECT_EQ(p["params"]["name"].asString(), "Me");
  EXPECT_EQ(p["params"]["device"].asString(), "2");
  EXPECT_EQ(p["params"]["method"].asString(), "login");
  // transid = the registration id: 32 random characters, "@", MD5 of the device id.
  const std::string transid = p["transid"].asString();
  EXPECT_EQ(transid, TIMSession::GetRegistrationId());
  ASSERT_EQ(transid.size(), 65u);
  EXPECT_EQ(transid.substr(32), "@" + FakeIMSessionServer::Md5Hex("DEVICE-1"));
}

TEST_F(SessionTest, KeepAliveTextsFollowTheTicksAndSilenceGoesOffline) {
  LogIn();
  im.SetKeepAliveAnswered(false);
  im.Server().ClearRecords();
  // Ticks at 10 s steps: "a" x3 at the 3rd, "r2<account>" x5 at the 6th; the 9th
  // step is 90 s after the last receive, which ends the session instead.
  for (int step = 1; step <= 8; ++step) {
    Advance(TIMConnState::kKeepAliveMs);
    ASSERT_TRUE(WaitRounds(3));
  }
  const std::string r = std::string("r2") + kAccount;
  ASSERT_TRUE(im.WaitFor([&] { return im.SessionTexts().size() >= 8; }));
  std::vector<std::string> expect = {"a", "a", "a", r, r, r, r, r};
  EXPECT_EQ(im.SessionTexts(), expect);
  EXPECT_EQ(Count(_EVENT_REPORT_OFFLINE), 0u);

  Advance(TIMConnState::kKeepAliveMs);
  auto offline = CallbackRecorder::Get().WaitFor(_EVENT_REPORT_OFFLINE);
  ASSERT_TRUE(offline);
  EXPECT_EQ(offline->a, 0);
  EXPECT_EQ(api.LoginState(), 0);
  EXPECT_EQ(session->ConnState().GetState(), TIMConnState::kStateOffline);
}

TEST_F(SessionTest, AnsweredKeepAliveKeepsTheSessionOnline) {
  LogIn();
  for (int step = 1; step <= 20; ++step) {
    const uint64_t handled = session->Channel()->GetStats().dispatched;
    Advance(TIMConnState::kKeepAliveMs);
    ASSERT_TRUE(WaitRounds(3));
    // The server answers the three "a" texts; they are handled before the clock
    // moves on, however slow the machine.
    if (step % 6 == 3) {
      ASSERT_TRUE(
          im.WaitFor([&] { return session->Channel()->GetStats().dispatched >= handled + 3; }));
    }
  }
  EXPECT_EQ(session->ConnState().GetState(), TIMConnState::kStateOnline);
  EXPECT_EQ(Count(_EVENT_REPORT_OFFLINE), 0u);
}

TEST_F(SessionTest, NetworkDownThenUpReportsOfflineThenRelogin) {
  LogIn();
  api.SetNetworkState(0);
  ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_REPORT_OFFLINE));
  EXPECT_EQ(api.LoginState(), 0);
  api.SetNetworkState(1);
  auto relogin = CallbackRecorder::Get().WaitFor(_EVENT_RELOGIN_SUCCESS, std::nullopt,
                                                 std::chrono::seconds(20));
  ASSERT_TRUE(relogin);
  EXPECT_EQ(relogin->a, 0);
  EXPECT_EQ(relogin->text, "");
  EXPECT_EQ(api.LoginState(), 1);
  EXPECT_EQ(session->ConnState().GetState(), TIMConnState::kStateOnline);
  EXPECT_EQ(im.LoginPackets().size(), 2u);
  EXPECT_EQ(Count(_EVENT_LOGIN_SUCCESS), 1u);
}

TEST_F(SessionTest, RefusedIMLoginFailsWithFourAndReconnectsLater) {
  im.SetLoginVerdict("f");
  api.MakeRegister();
  auto event =
      CallbackRecorder::Get().WaitFor(_EVENT_LOGIN_FAIL, std::nullopt, std::chrono::seconds(20));
  ASSERT_TRUE(event);
  EXPECT_EQ(event->a, 4);
  EXPECT_EQ(session->ConnState().GetState(), TIMConnState::kStateOffline);
  // Two minutes later the session probes again and logs in without the first flag;
  // the server now accepts, which is a re-login (100006).
  im.SetLoginVerdict("t");
  Advance(TIMConnState::kReconnectMs);
  ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_RELOGIN_SUCCESS, std::nullopt,
                                              std::chrono::seconds(20)));
  EXPECT_EQ(Count(_EVENT_LOGIN_FAIL), 1u);
}

TEST_F(SessionTest, MakeUnRegisterSendsTheUnregisterTextFiveTimes) {
  LogIn();
  api.MakeUnRegister();
  const std::string text = std::string("R2") + kAccount;
  ASSERT_TRUE(im.WaitFor([&] { return im.CountText(text) >= 5; }));
  ASSERT_TRUE(WaitRounds(3));
  EXPECT_EQ(im.CountText(text), 5u);
  EXPECT_EQ(session->ConnState().GetState(), TIMConnState::kStateNone);
  // No keep-alive and no reconnect after unregistering.
  im.Server().ClearRecords();
  Advance(TIMConnState::kReconnectMs * 2);
  ASSERT_TRUE(WaitRounds(5));
  EXPECT_TRUE(im.SessionTexts().empty());
}

TEST_F(SessionTest, ALoginCommandWhileOnlineLogsInAgain) {
  LogIn();
  api.MakeRegister();
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_LOGIN_SUCCESS, 2));
  EXPECT_EQ(loginCalls.load(), 2);
  EXPECT_EQ(im.LoginPackets().size(), 2u);
  // Every IM login is a new registration.
  auto packets = im.LoginPackets();
  EXPECT_NE(packets[0]["transid"].asString(), packets[1]["transid"].asString());
}

TEST_F(SessionTest, ALostLocalAddressGoesOffline) {
  std::atomic<bool> present{true};
  session->SetAddressSource([&present] {
    return present ? std::vector<std::string>{"127.0.0.1"} : std::vector<std::string>{};
  });
  LogIn();
  present = false;
  Advance(1000);
  ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_REPORT_OFFLINE));
}

std::atomic<int> g_pushes{0};
std::string g_lastPush;
std::mutex g_pushMutex;

void RecordPush(TIMSession&, const TIMPacket& packet) {
  std::lock_guard<std::mutex> lock(g_pushMutex);
  g_lastPush = packet.GetParam("content");
  ++g_pushes;
}

TEST_F(SessionTest, ImPacketsGoToThePushHandlerAndShortOnesToTheStateMachine) {
  session->SetPushHandler(&RecordPush);
  LogIn();
  im.Server().Push(FakeIMServer::SysPacket(kAccount, "nosuchnotice", {{"content", "sys"}}));
  im.Server().Push(
      FakeIMServer::ChatPacket("2002@im.test", kAccount, "msg", {{"content", "hello"}}));
  ASSERT_TRUE(im.WaitFor([] {
    std::lock_guard<std::mutex> lock(g_pushMutex);
    return g_lastPush == "hello";
  }));
  // Neither the login's response packet nor the "sys" push reached the handler.
  EXPECT_EQ(g_pushes.load(), 1);
  EXPECT_EQ(Count(_EVENT_LOGIN_SUCCESS), 1u);
}

TEST(SessionAddresses, LoopbackServerGetsLoopbackAddressesOnly) {
  auto loop = TIMSession::LocalAddresses(true);
  ASSERT_FALSE(loop.empty());
  for (const std::string& a : loop) EXPECT_EQ(a.compare(0, 4, "127."), 0) << a;

  auto all = TIMSession::LocalAddresses(false);
  bool seenV6 = false;
  for (const std::string& a : all) {
    bool v6 = a.find(':') != std::string::npos;
    if (v6) {
      EXPECT_EQ(a.size(), 39u) << a;  // eight groups of four hex digits
      seenV6 = true;
    } else {
      EXPECT_FALSE(seenV6) << "IPv4 after IPv6: " << a;
    }
  }
}

}  // namespace
