// Registration and login against the loopback login and user servers: the result of
// every kind of reply, the request each kind of login sends, and what a successful
// exchange leaves in the engine core and the account database.
#include <gtest/gtest.h>
#include <json/json.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "db/TDBManager.h"
#include "fakes/FakeLoginServer.h"
#include "services/TLoginService.h"
#include "support/CallbackRecorder.h"

namespace {

// A loopback port with nothing listening: bound, then closed again.
int DeadPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
  socklen_t len = sizeof(addr);
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  close(fd);
  return ntohs(addr.sin_port);
}

Json::Value ParseJson(const std::string& text) {
  Json::Value root;
  Json::Reader reader;
  reader.parse(text, root);
  return root;
}

class LoginServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(servers.Start());
    servers.SetIMPort(45678);
    char pattern[] = "/tmp/tesmo-login-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    api.Init();
    api.SetCallBack(&CallbackRecorder::Callback);
    api.SetServerInfo("127.0.0.1", servers.Login().Port());
    api.SetDeviceType(2);
    ASSERT_EQ(api.SetDatabase((dir + "/tesChat.db").c_str()), 2);
    api.SetMobileLogin("13800000000", "+86", "123456", "DEVICE-1", 1);
    core = TEngineCore::Instance();
    TLoginService::SetRegistrationToken("");
  }
  void TearDown() override {
    api.Release();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  int Register() { return TLoginService(core->GetRequestService()).Register(); }
  int Login() { return TLoginService(core->GetRequestService()).Login(); }
  std::string Saved(const char* key) { return core->GetDatabase()->GetSaveInfo(1, key); }
  std::string UserAddress() { return "127.0.0.1:" + std::to_string(servers.User().Port()); }

  FakeLoginServer servers;
  std::string dir;
  TAPIInterface api;
  TEngineCore* core = nullptr;
};

TEST_F(LoginServiceTest, RegistrationResultTable) {
  struct Row {
    const char* name;
    FakeReply reply;
    bool deadPort;
    int expect;
  } rows[] = {
      {"accepted", FakeReply::Json(servers.RegisterBody()), false, 0},
      {"code -8", FakeReply::Json(R"({"code": -8, "msg": "m"})"), false, 5},
      {"code -10", FakeReply::Json(R"({"code": -10, "msg": "m"})"), false, 6},
      {"code -12", FakeReply::Json(R"({"code": -12, "msg": "m"})"), false, 7},
      {"code 0", FakeReply::Json(R"({"code": 0, "result": {}})"), false, 3},
      {"not JSON", FakeReply::Text(200, "<html>maintenance</html>"), false, 3},
      {"empty body", FakeReply::Text(200, ""), false, 3},
      {"error status", FakeReply::Json(servers.RegisterBody(), 500), false, 3},
      {"dead port", FakeReply::Json(servers.RegisterBody()), true, 4},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    servers.SetRegisterReply(row.reply);
    api.SetServerInfo("127.0.0.1", row.deadPort ? DeadPort() : servers.Login().Port());
    EXPECT_EQ(Register(), row.expect);
  }
}

TEST_F(LoginServiceTest, AcceptedRegistrationStoresTheRowsAndTokensTheNextRequest) {
  ASSERT_EQ(Register(), 0);
  auto requests = servers.RegisterRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_FALSE(requests[0].HasHeader("TS-IM-TOKEN"));  // no token before registering

  EXPECT_EQ(Saved("REGSTATE"), "1");
  EXPECT_EQ(Saved("USERID"), "1001");
  EXPECT_EQ(Saved("ACCOUNT"), "1001@im.test");
  EXPECT_EQ(Saved("HTTPSERVER"), UserAddress());
  EXPECT_EQ(Saved("REGTOKEN"), "reg-token-2");
  EXPECT_EQ(Saved("ucuserid"), "uc-1001");
  EXPECT_EQ(core->GetUserID(), "1001");
  EXPECT_EQ(core->GetAccount(), "1001@im.test");
  EXPECT_EQ(core->GetHttpHost(), "127.0.0.1");
  EXPECT_EQ(core->GetHttpPort(), servers.User().Port());
  EXPECT_EQ(core->GetServer("im.test"), UserAddress());
  EXPECT_EQ(api.GetUCUserID(), std::string("uc-1001"));

  // The login that follows carries the token derived from the registration's.
  ASSERT_EQ(Login(), 0);
  auto logins = servers.LoginRequests();
  ASSERT_EQ(logins.size(), 1u);
  EXPECT_EQ(logins[0].Header("TS-IM-TOKEN"), FakeLoginServer::RegisteredToken("reg-token-1"));
}

TEST_F(LoginServiceTest, EmptyToken2AndUcUserIdLeaveTheStoredValues) {
  core->GetDatabase()->SetSaveInfo(1, "REGTOKEN", "kept-token");
  core->GetDatabase()->SetSaveInfo(1, "ucuserid", "kept-uc");
  FakeLoginServer::Profile p = servers.GetProfile();
  p.token2 = "";
  p.ucUserId = "";
  servers.SetProfile(p);
  ASSERT_EQ(Register(), 0);
  EXPECT_EQ(Saved("REGTOKEN"), "kept-token");
  EXPECT_EQ(Saved("ucuserid"), "kept-uc");
}

TEST_F(LoginServiceTest, RegistrationPathChoice) {
  struct Row {
    const char* name;
    std::function<void(TAPIInterface&)> setLogin;
    std::string processToken;  // left by a QR poll
    const char* path;
    std::vector<std::pair<std::string, std::string>> members;
    std::string tokenHeader;  // "" = none
  } rows[] = {
      {"ticket",
       [](TAPIInterface& a) { a.SetTicketLogin("TICKET-9", "DEVICE-1", 1, "acct@x.test"); },
       "",
       FakeLoginServer::kRegTicketPath,
       {{"mobile", "acct@x.test"}, {"ticket", "TICKET-9"}, {"deviceid", "DEVICE-1"}},
       ""},
      {"code",
       [](TAPIInterface& a) { a.SetMobileLogin("13800000000", "+86", "123456", "DEVICE-1", 1); },
       "",
       FakeLoginServer::kRegisterPath,
       {{"mobile", "13800000000"},
        {"nationcode", "+86"},
        {"verifycode", FakeLoginServer::VerifyCodeDigest("123456")},
        {"deviceid", "DEVICE-1"}},
       ""},
      {"QR, token of the poll",
       [](TAPIInterface& a) { a.SetQRLogin("13800000000", "DEVICE-1", 1); },
       "poll-token",
       FakeLoginServer::kAccountInfoPath,
       {{"ucuserid", "stored-uc"}},
       FakeLoginServer::AccountInfoToken("poll-token", "DEVICE-1")},
      {"QR, stored token",
       [](TAPIInterface& a) { a.SetQRLogin("13800000000", "DEVICE-2", 1); },
       "",
       FakeLoginServer::kAccountInfoPath,
       {{"ucuserid", "stored-uc"}},
       FakeLoginServer::AccountInfoToken("stored-token", "DEVICE-2")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    core->GetDatabase()->SetSaveInfo(1, "REGTOKEN", "stored-token");
    core->GetDatabase()->SetSaveInfo(1, "ucuserid", "stored-uc");
    core->SetToken("");
    TLoginService::SetRegistrationToken(row.processToken);
    row.setLogin(api);
    servers.Login().ClearRequests();
    // A refusal, so the stored rows stay as the next row expects them.
    servers.SetRegisterReply(FakeReply::Json(R"({"code": -8})"));
    EXPECT_EQ(Register(), 5);
    auto requests = servers.RegisterRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, row.path);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].Header("Content-Type"), "application/json");
    EXPECT_EQ(requests[0].Header("TS-IM-TOKEN"), row.tokenHeader);
    Json::Value body = ParseJson(requests[0].body);
    ASSERT_TRUE(body.isObject()) << requests[0].body;
    std::vector<std::string> names = {"transid", "system", "libver", "devicetype"};
    for (const auto& m : row.members) names.push_back(m.first);
    EXPECT_EQ(body.getMemberNames().size(), names.size()) << requests[0].body;
    // The members in their order.
    size_t at = 0;
    for (const std::string& name : names) {
      size_t found = requests[0].body.find("\"" + name + "\"", at);
      ASSERT_NE(found, std::string::npos) << name << " in " << requests[0].body;
      at = found;
    }
    EXPECT_EQ(body["transid"].asString().size(), 34u);
    EXPECT_EQ(body["system"].asString(), "WINDOWS");
    EXPECT_EQ(body["libver"].asString(), "200");
    EXPECT_EQ(body["devicetype"].asInt(), 2);
    for (const auto& m : row.members) EXPECT_EQ(body[m.first].asString(), m.second) << m.first;
  }
}

TEST_F(LoginServiceTest, LoginResultTable) {
  ASSERT_EQ(Register(), 0);
  FakeReply closed = FakeReply::Json(servers.LoginBody());
  closed.closeAfter = 0;  // the server goes away without a byte
  struct Row {
    const char* name;
    FakeReply reply;
    int expect;
  } rows[] = {
      {"accepted", FakeReply::Json(servers.LoginBody()), 0},
      {"code -5", FakeReply::Json(R"({"code": -5, "msg": "m"})"), 7},
      {"code -8", FakeReply::Json(R"({"code": -8, "result": {}})"), 3},
      {"code 1 without result", FakeReply::Json(R"({"code": 1})"), 3},
      {"not JSON", FakeReply::Text(200, "oops"), 3},
      {"empty body", FakeReply::Text(200, ""), 3},
      {"no reply", closed, 4},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    servers.SetLoginReply(row.reply);
    EXPECT_EQ(Login(), row.expect);
  }
}

TEST_F(LoginServiceTest, LoginRequestAndStoredProfile) {
  api.SetLanguage("en-US");
  ASSERT_EQ(Register(), 0);
  ASSERT_EQ(Login(), 0);
  auto logins = servers.LoginRequests();
  ASSERT_EQ(logins.size(), 1u);
  const std::string& text = logins[0].body;
  const char* order[] = {"transid",  "userid", "account", "mobile",   "nationcode", "email",
                         "deviceid", "system", "libver",  "language", "devicetype"};
  size_t at = 0;
  for (const char* name : order) {
    size_t found = text.find(std::string("\"") + name + "\"", at);
    ASSERT_NE(found, std::string::npos) << name << " in " << text;
    at = found;
  }
  Json::Value body = ParseJson(text);
  EXPECT_EQ(body.getMemberNames().size(), 11u);
  EXPECT_EQ(body["userid"].asString(), "1001");
  EXPECT_EQ(body["account"].asString(), "1001@im.test");
  EXPECT_EQ(body["mobile"].asString(), "13800000000");
  EXPECT_EQ(body["nationcode"].asString(), "+86");
  EXPECT_EQ(body["email"].asString(), "");
  EXPECT_EQ(body["deviceid"].asString(), "DEVICE-1");
  EXPECT_EQ(body["language"].asString(), "en-US");
  EXPECT_EQ(body["devicetype"].asInt(), 2);

  struct Row {
    const char* key;
    std::string value;
  } rows[] = {
      {"LOGINSTATE", "1"},
      {"NAME", "Li Lei"},
      {"ICON", "http://127.0.0.1/icon.png"},
      {"BIGICON", "http://127.0.0.1/big.png"},
      {"SUMMARY", "hello \"world\""},
      {"VERSION", "17"},
      {"CHAMPFLAG", "1"},
      {"UPSERVER", "127.0.0.1:8181"},
      {"DOWNSERVER", "http://127.0.0.1:8282"},
      {"PROXYSERVER", "127.0.0.1:45678"},
  };
  for (const Row& row : rows) EXPECT_EQ(Saved(row.key), row.value) << row.key;

  EXPECT_EQ(core->GetName(), "Li Lei");
  EXPECT_EQ(core->GetLogo(), "http://127.0.0.1/icon.png");
  EXPECT_EQ(core->GetBigLogo(), "http://127.0.0.1/big.png");
  EXPECT_EQ(core->GetSummary(), "hello \"world\"");
  EXPECT_EQ(core->GetVersion(), 17);
  EXPECT_EQ(core->GetChampFlag(), 1);
  EXPECT_EQ(core->GetToken(), "session-token-1");
  EXPECT_EQ(core->GetUpHost(), "127.0.0.1");
  EXPECT_EQ(core->GetUpPort(), 8181);
  EXPECT_EQ(core->GetDownServer(), "http://127.0.0.1:8282");
  EXPECT_EQ(core->GetProxyHost(), "127.0.0.1");
  EXPECT_EQ(core->GetProxyPort(), 45678);
  EXPECT_EQ(core->GetStorageHost(), "127.0.0.1");
  EXPECT_EQ(core->GetStoragePort(), 22122);
  EXPECT_EQ(core->GetServer("GROUPSERVER"), UserAddress());
  EXPECT_EQ(api.GetBombRedUrl(), std::string("http://127.0.0.1/red"));
  EXPECT_EQ(api.GetToken(), std::string("session-token-1"));

  Json::Value info = ParseJson(core->GetLoginInfo());
  EXPECT_EQ(info["code"].asInt(), 1);
  EXPECT_EQ(info["result"]["name"].asString(), "Li Lei");
  EXPECT_EQ(info["result"]["usertype"].asInt(), 2);
  EXPECT_EQ(info["result"]["firstreg"].asInt(), 1);
  EXPECT_EQ(info["result"]["redurl"].asString(), "http://127.0.0.1/red");
}

TEST_F(LoginServiceTest, MobileWithAtSignIsSentAsEmail) {
  api.SetMobileLogin("li@mail.test", "+86", "123456", "DEVICE-1", 1);
  ASSERT_EQ(Register(), 0);
  ASSERT_EQ(Login(), 0);
  Json::Value body = ParseJson(servers.LoginRequests().at(0).body);
  EXPECT_EQ(body["mobile"].asString(), "");
  EXPECT_EQ(body["email"].asString(), "li@mail.test");
}

TEST(LoginServiceNoDatabase, WithoutADatabaseTheCoreStillLearnsEverything) {
  FakeLoginServer servers;
  ASSERT_TRUE(servers.Start());
  servers.SetIMPort(45678);
  TAPIInterface api;
  api.Init();
  api.SetServerInfo("127.0.0.1", servers.Login().Port());
  api.SetMobileLogin("13800000000", "+86", "123456", "DEVICE-1", 1);
  TEngineCore* core = TEngineCore::Instance();
  ASSERT_EQ(core->GetDatabase(), nullptr);
  EXPECT_EQ(TLoginService(core->GetRequestService()).Register(), 0);
  EXPECT_EQ(TLoginService(core->GetRequestService()).Login(), 0);
  EXPECT_EQ(core->GetAccount(), "1001@im.test");
  EXPECT_EQ(core->GetName(), "Li Lei");
  EXPECT_EQ(core->GetProxyPort(), 45678);
  EXPECT_EQ(api.IsLogin(), 0);
  api.Release();
}

TEST_F(LoginServiceTest, OverlongServerTextsAreCutToTheirFields) {
  FakeLoginServer::Profile p = servers.GetProfile();
  p.proxyServer = std::string(200, 'p') + ":7001";
  p.upServer = std::string(80, 'u') + ":7002";
  p.downServer = "http://" + std::string(400, 'd');
  servers.SetProfile(p);
  ASSERT_EQ(Register(), 0);
  ASSERT_EQ(Login(), 0);
  EXPECT_EQ(core->GetProxyHost(), std::string(TEngineCore::kHostSize - 1, 'p'));
  EXPECT_EQ(core->GetProxyPort(), 7001);
  EXPECT_EQ(core->GetUpHost(), std::string(TEngineCore::kHostSize - 1, 'u'));
  EXPECT_EQ(core->GetUpPort(), 7002);
  EXPECT_EQ(core->GetDownServer().size(), TEngineCore::kDownServerSize - 1);
  // The stored row keeps the whole text.
  EXPECT_EQ(Saved("PROXYSERVER"), p.proxyServer);

  std::string longText(1000, 'x');
  api.SetMobileLogin(longText.c_str(), longText.c_str(), longText.c_str(), longText.c_str(), 1);
  EXPECT_EQ(core->GetMobile().size(), TEngineCore::kMobileSize - 1);
  EXPECT_EQ(core->GetNationCode().size(), TEngineCore::kNationCodeSize - 1);
  EXPECT_EQ(core->GetCode().size(), TEngineCore::kCodeSize - 1);
  EXPECT_EQ(core->GetDeviceID().size(), TEngineCore::kDeviceIdSize - 1);
  api.SetQRLogin(longText.c_str(), longText.c_str(), 1);
  EXPECT_EQ(core->GetQRKey().size(), TEngineCore::kQRKeySize - 1);
  api.SetTicketLogin(longText.c_str(), "d", 1, longText.c_str());
  EXPECT_EQ(core->GetTicket().size(), TEngineCore::kTicketSize - 1);
}

TEST_F(LoginServiceTest, EachLoginSetterReplacesTheFieldsOfOtherLogins) {
  api.SetTicketLogin("TICKET", "D", 1, "acct");
  api.SetQRLogin("KEY", "D", 1);
  EXPECT_EQ(core->GetTicket(), "");
  EXPECT_EQ(core->GetMobile(), "");
  EXPECT_EQ(core->GetCode(), "");
  EXPECT_EQ(TLoginService::ChoosePath(core->GetTicket(), core->GetMobile()),
            TLoginService::kPathAccountInfo);
  api.SetMobileLogin("138", "+86", "1", "D", 1);
  EXPECT_EQ(core->GetQRKey(), "");
  EXPECT_EQ(TLoginService::ChoosePath(core->GetTicket(), core->GetMobile()),
            TLoginService::kPathRegister);
  api.SetTicketLogin("TICKET", "D", 1, "acct");
  EXPECT_EQ(core->GetCode(), "");
  EXPECT_EQ(core->GetNationCode(), "");
}

}  // namespace
