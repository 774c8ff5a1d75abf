// The engine core: login-state filter, nation prefixes, fields and servers.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TAPIInterface.h"
#include "base/TStopFlag.h"
#include "core/TEngineCore.h"
#include "engine/net/ServiceTestSupport.h"
#include "net/TBackgroundWorker.h"
#include "net/THttpRequestService.h"
#include "support/CallbackRecorder.h"

namespace {

class EngineCoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CallbackRecorder::Get().Clear();
    api.Init();
    api.SetCallBack(&CallbackRecorder::Callback);
    core = TEngineCore::Instance();
    ASSERT_NE(core, nullptr);
  }
  void TearDown() override { api.Release(); }

  void Raise(int code) {
    TAPIPacket* p = new TAPIPacket;
    p->code = code;
    p->s4 = "event";
    TEngineCore::OnSessionPacket(p);
  }

  TAPIInterface api;
  TEngineCore* core = nullptr;
};

TEST_F(EngineCoreTest, LoginStateFilterTable) {
  struct Row {
    int code;
    int before;
    int after;
  };
  const Row rows[] = {
      {_EVENT_LOGIN_SUCCESS, 0, 1},   {_EVENT_LOGIN_FAIL, 1, 0},
      {_EVENT_RELOGIN_SUCCESS, 0, 1}, {_EVENT_REPORT_OFFLINE, 1, 0},
      {_EVENT_RELOGIN_SUCCESS, 0, 1}, {_EVENT_RECV_KICKOUT, 1, 0},
      {_EVENT_COME_IMMESSAGE, 0, 0},  {_EVENT_LOGIN_SUCCESS, 0, 1},
      {_EVENT_COME_IMMESSAGE, 1, 1},  {_EVENT_REPORT_SYSKICKOUT, 1, 1},
  };
  for (const Row& row : rows) {
    ASSERT_EQ(api.LoginState(), row.before) << row.code;
    CallbackRecorder::Get().Clear();
    Raise(row.code);
    EXPECT_EQ(api.LoginState(), row.after) << row.code;
    // Every event is forwarded once, with its text.
    auto reports = CallbackRecorder::Get().ReportsWith(row.code);
    ASSERT_EQ(reports.size(), 1u) << row.code;
    EXPECT_EQ(reports[0].text, "event");
  }
}

// The events that end a session end its login: what is still queued for it is
// dropped (the request service and the background worker ask TAccountScope).
TEST_F(EngineCoreTest, LogoutsAndKickOutsEndTheLogin) {
  const struct {
    const char* name;
    std::function<void()> act;
    bool ends;
  } rows[] = {
      {"logout", [&] { api.MakeUnRegister(); }, true},
      {"kick-out", [&] { Raise(_EVENT_RECV_KICKOUT); }, true},
      {"system kick-out", [&] { Raise(_EVENT_REPORT_SYSKICKOUT); }, true},
      {"offline", [&] { Raise(_EVENT_REPORT_OFFLINE); }, false},
      {"login failure", [&] { Raise(_EVENT_LOGIN_FAIL); }, false},
      {"automatic re-login", [&] { Raise(_EVENT_RELOGIN_SUCCESS); }, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const TAccountScope::Stamp before = TAccountScope::Current();
    row.act();
    const TAccountScope::Stamp after = TAccountScope::Current();
    EXPECT_EQ(after.login != before.login, row.ends);
    EXPECT_EQ(after.database, before.database);
  }
}

// Stands in for the sync worker: records what the login-state filter hands it.
class LoginTaskRecorder : public TBackgroundWorker {
 public:
  explicit LoginTaskRecorder(std::vector<int>* calls) : m_calls(calls) {}
  int Start() override { return 1; }
  void Stop() override {}
  void PostLoginTasks(int relogin) override { m_calls->push_back(relogin); }

 private:
  std::vector<int>* m_calls;
};

TEST_F(EngineCoreTest, LoginsAndReloginsStartTheirFollowUpTasks) {
  std::vector<int> calls;
  ScopedBackgroundWorkerFactory recorder(
      [&](THttpRequestService&) { return std::make_unique<LoginTaskRecorder>(&calls); });
  ASSERT_EQ(api.Run(), 1);
  const struct {
    int code;
    std::vector<int> calls;  // what the worker has been handed after the event
  } rows[] = {
      {_EVENT_LOGIN_SUCCESS, {0}},   {_EVENT_RELOGIN_SUCCESS, {0, 1}},
      {_EVENT_LOGIN_FAIL, {0, 1}},   {_EVENT_REPORT_OFFLINE, {0, 1}},
      {_EVENT_RECV_KICKOUT, {0, 1}}, {_EVENT_COME_IMMESSAGE, {0, 1}},
  };
  for (const auto& row : rows) {
    Raise(row.code);
    EXPECT_EQ(calls, row.calls) << row.code;
  }
  SetEngineStopping(true);
  Raise(_EVENT_LOGIN_SUCCESS);
  EXPECT_EQ(calls, (std::vector<int>{0, 1}));
  SetEngineStopping(false);
  api.Release();
}

TEST_F(EngineCoreTest, NothingIsForwardedWhileStopping) {
  SetEngineStopping(true);
  Raise(_EVENT_LOGIN_SUCCESS);
  Raise(_EVENT_LOGIN_FAIL);
  TAPIPacket* p = new TAPIPacket;
  p->code = _REQUEST_HTTP_SENDGET;
  TEngineCore::OnServicePacket(p);
  EXPECT_TRUE(CallbackRecorder::Get().Reports().empty());
  EXPECT_EQ(api.LoginState(), 0);
  // A request posted while stopping is dropped (and freed).
  EXPECT_EQ(api.SendGet(9, "http://127.0.0.1:1/"), 9);
  SetEngineStopping(false);
}

TEST_F(EngineCoreTest, NationPrefixTable) {
  EXPECT_EQ(api.SetNationPrefix("/nonexistent/NationPrefix.txt"), 0);
  ASSERT_EQ(api.SetNationPrefix(TESMO_TEST_DATA_DIR "/NationPrefix.txt"), 1);
  struct Row {
    const char* in;
    const char* out;
    bool sameObject;  // the caller's own text comes back
  };
  const Row rows[] = {
      {"+8613800138000", "13800138000", false},
      {"  +8613800138000  ", "13800138000", false},
      {"+85291234567", "91234567", false},  // longest prefix first: +852, not +85
      {"+12025550100", "2025550100", false},
      {"+8212345678", "12345678", false},
      {"+9912345", "+9912345", true},            // no such prefix
      {" 13800138000 ", " 13800138000 ", true},  // digits with blanks: the caller's text
      {"86138", "86138", true},
      {"   ", "", false},
      {"", "", false},
  };
  for (const Row& row : rows) {
    const char* got = api.RemoveNationPrefix(row.in);
    EXPECT_STREQ(got, row.out) << "[" << row.in << "]";
    if (row.sameObject) {
      EXPECT_EQ(got, row.in) << row.in;
    }
  }
  std::string longText = "+86" + std::string(120, '1');
  EXPECT_EQ(api.RemoveNationPrefix(longText.c_str()), longText.c_str());
}

TEST_F(EngineCoreTest, FixedFieldsAreCutNeverOverrun) {
  std::string longMobile(500, '7');
  std::string longDevice(1000, 'd');
  EXPECT_EQ(api.SetMobileLogin(longMobile.c_str(), "+86", "123456", longDevice.c_str(), 1), 1);
  EXPECT_EQ(core->GetMobile(), std::string(TEngineCore::kMobileSize - 1, '7'));
  EXPECT_EQ(core->GetDeviceID(), std::string(TEngineCore::kDeviceIdSize - 1, 'd'));
  EXPECT_EQ(core->GetNationCode(), "+86");
  EXPECT_EQ(core->GetCode(), "123456");
  EXPECT_EQ(core->GetLoginMode(), 1);

  EXPECT_EQ(api.SetTicketLogin("ticket", "dev", 2, "acc@im"), 1);
  EXPECT_EQ(core->GetTicket(), "ticket");
  EXPECT_EQ(core->GetMobile(), "acc@im");
  EXPECT_EQ(api.SetQRLogin("qrkey", "dev2", 3), 1);
  EXPECT_EQ(core->GetQRKey(), "qrkey");
  EXPECT_EQ(core->GetDeviceID(), "dev2");

  api.SetServerInfo(std::string(200, 'h').c_str(), 443);
  EXPECT_EQ(core->GetLoginHost().size(), TEngineCore::kHostSize - 1);
  EXPECT_EQ(core->GetLoginPort(), 443);
}

TEST_F(EngineCoreTest, ServerAddressesAndSplits) {
  core->SetHttpServer("10.1.2.3:8080");
  EXPECT_EQ(core->GetHttpHost(), "10.1.2.3");
  EXPECT_EQ(core->GetHttpPort(), 8080);
  core->SetProxyServer("im.example");
  EXPECT_EQ(core->GetProxyHost(), "im.example");
  EXPECT_EQ(core->GetProxyPort(), 0);
  EXPECT_EQ(core->GetServer("USERSERVER"), "");
  core->SetServer("USERSERVER", "a:1");
  core->SetServer("USERSERVER", "b:2");
  EXPECT_EQ(core->GetServer("USERSERVER"), "b:2");
}

TEST_F(EngineCoreTest, DefaultsAndSimpleSetters) {
  EXPECT_EQ(core->GetUserID(), "0");
  EXPECT_EQ(core->GetLanguage(), "zh-CN");
  EXPECT_STREQ(TEngineCore::GetLibVersion(), "200");
  EXPECT_STREQ(TEngineCore::GetSystemName(), "WINDOWS");
  EXPECT_EQ(api.UpdateToken("tok"), 1);
  EXPECT_STREQ(api.GetToken(), "tok");
  EXPECT_EQ(api.UseOpenssl("", "", ""), 1);
  EXPECT_EQ(core->IsHttps(), 1);
  EXPECT_EQ(api.SetLanguage("en"), 1);
  EXPECT_EQ(core->GetLanguage(), "en");
  core->SetProfile("Name", "logo", "big", "sum", 3, 1);
  EXPECT_STREQ(api.GetMyName(), "Name");
  EXPECT_STREQ(api.GetMyLogo(), "logo");
  EXPECT_STREQ(api.GetMyBigLogo(), "big");
  EXPECT_STREQ(api.GetMySummary(), "sum");
  EXPECT_EQ(api.GetChampFlag(), 1);
  EXPECT_EQ(api.MakeRegister(), 1);
  EXPECT_EQ(api.SetNetworkState(1), 1);
}

TEST_F(EngineCoreTest, NetworkUpFollowsTheInterfaceList) {
  // Any machine running these tests has at least loopback; the answer is 1 exactly
  // when a non-loopback IPv4 address exists.
  int up = core->IsNetworkUp();
  EXPECT_TRUE(up == 0 || up == 1);
}

}  // namespace

namespace {

TEST_F(EngineCoreTest, LoginSuccessStoresIsLoginAndUnregisterClearsIt) {
  char dir[] = "/tmp/tesmo-core-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string path = std::string(dir) + "/tesChat.db";
  ASSERT_EQ(api.SetDatabase(path.c_str()), 2);
  EXPECT_EQ(api.IsLogin(), 0);
  Raise(_EVENT_LOGIN_SUCCESS);
  EXPECT_EQ(api.IsLogin(), 1);
  EXPECT_EQ(api.LoginState(), 1);
  // A failure clears only the state; a re-login changes the state but not the
  // stored flag.
  Raise(_EVENT_LOGIN_FAIL);
  EXPECT_EQ(api.LoginState(), 0);
  EXPECT_EQ(api.IsLogin(), 1);
  EXPECT_EQ(api.MakeUnRegister(), 1);
  EXPECT_EQ(api.IsLogin(), 0);
  Raise(_EVENT_RELOGIN_SUCCESS);
  EXPECT_EQ(api.LoginState(), 1);
  EXPECT_EQ(api.IsLogin(), 0);
  std::string cleanup = std::string("rm -rf ") + dir;
  EXPECT_EQ(system(cleanup.c_str()), 0);
}

}  // namespace
