// The QR-login poll against the loopback servers: both forms of the poll key, the
// single event that ends a poll, the time limit on a hand-driven clock, and polls
// that are stopped or replaced while an exchange is in flight.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <thread>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "db/TDBManager.h"
#include "fakes/FakeLoginServer.h"
#include "fakes/TestCipherKit.h"
#include "platform/clock.h"
#include "services/TLoginService.h"
#include "services/TQRLoginThread.h"
#include "support/CallbackRecorder.h"

namespace {

class QRLoginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(servers.Start());
    char pattern[] = "/tmp/tesmo-qr-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    CallbackRecorder::Get().Clear();
    api.Init();
    api.SetCallBack(&CallbackRecorder::Callback);
    api.SetServerInfo("127.0.0.1", servers.Login().Port());
    ASSERT_EQ(api.SetDatabase((dir + "/tesChat.db").c_str()), 2);
    core = TEngineCore::Instance();
    // Before login the user server is the account's HTTP server.
    core->SetHttpServer("127.0.0.1:" + std::to_string(servers.User().Port()));
    TLoginService::SetRegistrationToken("");
    poll().SetClock(nullptr);
    poll().SetPollSpacingMs(20);
  }
  void TearDown() override {
    servers.ReleaseQR();
    api.Release();  // shuts the poll down and joins its threads
    poll().SetClock(nullptr);
    poll().SetPollSpacingMs(TQRLoginThread::kPollSpacingMs);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  static TQRLoginThread& poll() { return TQRLoginThread::Instance(); }
  // The program's poll URL on the login server.
  std::string ProgramUrl(const std::string& auid) {
    return servers.Login().Url(std::string(FakeLoginServer::kLoginQRPath) + "?auid=" + auid +
                               "&device=DEV");
  }
  size_t Events() { return CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_QRLOGIN).size(); }

  FakeLoginServer servers;
  std::string dir;
  TAPIInterface api;
  TEngineCore* core = nullptr;
};

TEST_F(QRLoginTest, ConfirmationAfterNotYetGivesOneEventAndStoresTheToken) {
  struct Row {
    const char* name;
    bool programUrl;
  } rows[] = {{"full poll URL", true}, {"key on the user server", false}};
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CallbackRecorder::Get().Clear();
    const std::string key = "auid" + std::to_string(++n);
    const std::string token = "qr-reg-token-" + std::to_string(n);
    servers.SetQRPlan(key, 3, "13800000000", TestCipherKit::Encrypt(token));
    ASSERT_EQ(api.GetQRUserInfo(row.programUrl ? ProgramUrl(key).c_str() : key.c_str()), 1);
    auto event = CallbackRecorder::Get().WaitFor(_EVENT_REPORT_QRLOGIN);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->a, 0);
    EXPECT_EQ(event->id, 0);
    EXPECT_EQ(event->b, 0);
    EXPECT_EQ(event->text, "13800000000");
    EXPECT_EQ(servers.QRPolls(key), 4);
    EXPECT_EQ(TLoginService::GetRegistrationToken(), token);
    EXPECT_EQ(core->GetDatabase()->GetSaveInfo(1, "REGTOKEN"), token);
    EXPECT_FALSE(poll().IsRunning());
    poll().Shutdown();  // joins the finished poll: nothing more can come
    EXPECT_EQ(Events(), 1u);
  }
  // The program's form went to the login server, the bare key to the user server.
  EXPECT_EQ(servers.Login().Requests(FakeLoginServer::kLoginQRPath).size(), 4u);
  EXPECT_EQ(servers.User().Requests(FakeLoginServer::kUserQRPath).size(), 4u);
  EXPECT_EQ(servers.Login().Requests(FakeLoginServer::kLoginQRPath)[0].Param("device"), "DEV");
}

TEST_F(QRLoginTest, NotYetAnswersArePacedAboutOneSecondApart) {
  poll().SetPollSpacingMs(TQRLoginThread::kPollSpacingMs);
  servers.SetQRPlan("slow", 2, "acct", TestCipherKit::Encrypt("t"));
  const uint64_t start = tesmo::TickCountMs();
  api.GetQRUserInfo(ProgramUrl("slow").c_str());
  ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_REPORT_QRLOGIN, std::nullopt,
                                              std::chrono::seconds(30)));
  // Two "not yet" answers at once: the confirming poll starts no sooner than 2 s in.
  EXPECT_GE(tesmo::TickCountMs() - start, 2 * TQRLoginThread::kPollSpacingMs - 50);
  EXPECT_EQ(servers.QRPolls("slow"), 3);
}

TEST_F(QRLoginTest, ANewPollDuringAHeldExchangeSilencesTheFirst) {
  servers.SetQRPlan("first", 0, "first-account", TestCipherKit::Encrypt("token-first"));
  servers.SetQRPlan("second", 1, "second-account", TestCipherKit::Encrypt("token-second"));
  servers.HoldQR("first");
  api.GetQRUserInfo(ProgramUrl("first").c_str());
  ASSERT_TRUE(servers.WaitQRHeld("first"));
  api.GetQRUserInfo(ProgramUrl("second").c_str());
  auto event = CallbackRecorder::Get().WaitFor(_EVENT_REPORT_QRLOGIN);
  ASSERT_TRUE(event);
  EXPECT_EQ(event->text, "second-account");
  // The first exchange now ends with a confirmation, which must be discarded.
  servers.ReleaseQR();
  poll().Shutdown();
  auto events = CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_QRLOGIN);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].a, 0);
  EXPECT_EQ(TLoginService::GetRegistrationToken(), "token-second");
  EXPECT_EQ(core->GetDatabase()->GetSaveInfo(1, "REGTOKEN"), "token-second");
  EXPECT_EQ(servers.QRPolls("first"), 1);
}

// A callback that starts a new poll while holding the callback lock (here inside
// another report on another thread), with the old poll's confirmation waiting to be
// reported: the two must not wait for each other.
struct NestedStart {
  static constexpr int kTrigger = 990001;
  static std::function<void()> action;
  static void Callback(int code, int a, int id, int b, const char* text) {
    if (code == kTrigger) {
      action();
      return;
    }
    CallbackRecorder::Callback(code, a, id, b, text);
  }
};
std::function<void()> NestedStart::action;

TEST_F(QRLoginTest, ANewPollStartedInsideAnotherReportDoesNotDeadlock) {
  servers.SetQRPlan("first", 0, "first-account", TestCipherKit::Encrypt("token-first"));
  servers.SetQRPlan("second", 0, "second-account", TestCipherKit::Encrypt("token-second"));
  servers.HoldQR("first");
  api.GetQRUserInfo(ProgramUrl("first").c_str());
  ASSERT_TRUE(servers.WaitQRHeld("first"));
  const std::string second = ProgramUrl("second");
  NestedStart::action = [&] {
    // The first poll is confirmed now; give its thread time to reach its report.
    servers.ReleaseQR();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    api.GetQRUserInfo(second.c_str());
  };
  api.SetCallBack(&NestedStart::Callback);
  auto reporter = std::async(std::launch::async,
                             [&] { api.NotifyCallback(NestedStart::kTrigger, 0, 0, 0, ""); });
  if (reporter.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
    fprintf(stderr, "the callback and the QR poll wait for each other\n");
    std::_Exit(1);
  }
  auto event = CallbackRecorder::Get().WaitFor(_EVENT_REPORT_QRLOGIN);
  ASSERT_TRUE(event);
  poll().Shutdown();
  auto events = CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_QRLOGIN);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].text, "second-account");
  EXPECT_EQ(TLoginService::GetRegistrationToken(), "token-second");
}

TEST_F(QRLoginTest, AStoppedPollRaisesNothingAndStoresNothing) {
  servers.SetQRPlan("held", 0, "acct", TestCipherKit::Encrypt("token-held"));
  servers.HoldQR("held");
  api.GetQRUserInfo(ProgramUrl("held").c_str());
  ASSERT_TRUE(servers.WaitQRHeld("held"));
  poll().Stop();
  EXPECT_FALSE(poll().IsRunning());
  servers.ReleaseQR();
  poll().Shutdown();
  EXPECT_EQ(Events(), 0u);
  EXPECT_EQ(TLoginService::GetRegistrationToken(), "");
  EXPECT_EQ(core->GetDatabase()->GetSaveInfo(1, "REGTOKEN"), "");
}

TEST_F(QRLoginTest, ReleasingTheEngineEndsAHeldPollPromptly) {
  servers.SetQRPlan("stuck", 0, "acct", TestCipherKit::Encrypt("token-stuck"));
  servers.HoldQR("stuck");
  api.GetQRUserInfo(ProgramUrl("stuck").c_str());
  ASSERT_TRUE(servers.WaitQRHeld("stuck"));
  const uint64_t start = tesmo::TickCountMs();
  api.Release();  // the stop flag ends the exchange; the poll thread is joined
  EXPECT_LT(tesmo::TickCountMs() - start, 15000u);  // the server holds for 30 s
  EXPECT_FALSE(poll().IsRunning());
  EXPECT_EQ(Events(), 0u);
  EXPECT_EQ(TLoginService::GetRegistrationToken(), "");
}

TEST_F(QRLoginTest, NoConfirmationWithinThreeHundredSecondsGivesOne) {
  // Every look at the clock moves it 70 s on: the limit passes after a few polls.
  std::atomic<uint64_t> clock{5000000};
  poll().SetClock([&clock] { return clock.fetch_add(70000); });
  api.GetQRUserInfo(ProgramUrl("never").c_str());
  auto event = CallbackRecorder::Get().WaitFor(_EVENT_REPORT_QRLOGIN);
  poll().Shutdown();  // before the clock goes out of scope
  ASSERT_TRUE(event);
  EXPECT_EQ(event->a, 1);
  EXPECT_EQ(event->text, "");
  EXPECT_EQ(Events(), 1u);
  EXPECT_GE(servers.QRPolls("never"), 1);
  EXPECT_LE(servers.QRPolls("never"), 5);
}

TEST_F(QRLoginTest, ATokenThatDoesNotDecryptConfirmsWithoutStoring) {
  servers.SetQRPlan("bad", 0, "acct", "zz-not-enciphered");
  api.GetQRUserInfo(ProgramUrl("bad").c_str());
  auto event = CallbackRecorder::Get().WaitFor(_EVENT_REPORT_QRLOGIN);
  ASSERT_TRUE(event);
  EXPECT_EQ(event->a, 0);
  EXPECT_EQ(event->text, "acct");
  EXPECT_EQ(TLoginService::GetRegistrationToken(), "");
  EXPECT_EQ(core->GetDatabase()->GetSaveInfo(1, "REGTOKEN"), "");
}

TEST_F(QRLoginTest, AServerThatIsDownCountsAsNotYet) {
  std::atomic<uint64_t> clock{0};
  poll().SetClock([&clock] { return clock.fetch_add(100000); });
  api.GetQRUserInfo("http://127.0.0.1:1/navigation/qrcode/getuserinfo.do?auid=x");
  auto event = CallbackRecorder::Get().WaitFor(_EVENT_REPORT_QRLOGIN);
  poll().Shutdown();  // before the clock goes out of scope
  ASSERT_TRUE(event);
  EXPECT_EQ(event->a, 1);
}

TEST(QRPollReply, OnlyACompleteConfirmationEndsThePoll) {
  struct Row {
    const char* body;
    bool confirmed;
  } rows[] = {
      {R"({"code": 1, "result": {"content": "c", "token": "t"}})", true},
      {R"({"code": 1, "result": {"content": "c", "token": ""}})", false},
      {R"({"code": 1, "result": {"content": "", "token": "t"}})", false},
      {R"({"code": 1, "result": "c"})", false},
      {R"({"code": 0, "result": {"content": "c", "token": "t"}})", false},
      {"not json", false},
      {"", false},
      {"null", false},
  };
  for (const Row& row : rows) {
    std::string content, token;
    EXPECT_EQ(TQRLoginThread::ParsePollReply(row.body, &content, &token), row.confirmed)
        << row.body;
  }
}

TEST(QRPollUrl, FullUrlsAsGivenKeysOnTheUserServer) {
  TAPIInterface api;
  api.Init();
  TEngineCore::Instance()->SetServer("USERSERVER", "127.0.0.1:8100");
  EXPECT_EQ(TQRLoginThread::PollUrl("http://h:1/navigation/qrcode/getuserinfo.do?auid=1"),
            "http://h:1/navigation/qrcode/getuserinfo.do?auid=1");
  EXPECT_EQ(TQRLoginThread::PollUrl("https://h/x?y"), "https://h/x?y");
  EXPECT_EQ(TQRLoginThread::PollUrl("abc"), "http://127.0.0.1:8100/qrcode/getuserinfo.do?abc");
  api.Release();
}

TEST(QRLoginObject, DestructorStopsAndJoinsARunningPoll) {
  TAPIInterface api;
  api.Init();
  CallbackRecorder::Get().Clear();
  api.SetCallBack(&CallbackRecorder::Callback);
  {
    TQRLoginThread own;
    own.SetPollSpacingMs(20);
    EXPECT_EQ(own.Start("http://127.0.0.1:1/qrcode/getuserinfo.do?k"), 1);
    EXPECT_EQ(own.Start("http://127.0.0.1:1/qrcode/getuserinfo.do?other"), 1);  // running
    EXPECT_TRUE(own.IsRunning());
  }
  EXPECT_EQ(CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_QRLOGIN).size(), 0u);
  api.Release();
}

}  // namespace
