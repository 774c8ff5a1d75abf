// A whole login, driven through TAPIInterface alone as the program drives it, against
// the loopback login, user and IM servers: by phone number and code, and by QR code.
#include <gtest/gtest.h>
#include <json/json.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "TAPIInterface.h"
#include "fakes/FakeIMSessionServer.h"
#include "fakes/FakeLoginServer.h"
#include "fakes/TestCipherKit.h"
#include "net/THttpsClient.h"
#include "support/CallbackRecorder.h"

namespace {

class LoginEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    servers.SetIMPort(im.Port());
    ASSERT_TRUE(servers.Start());
    char pattern[] = "/tmp/tesmo-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    CallbackRecorder::Get().Clear();
    // The engine bridge's start-up order.
    api.Init();
    api.SetCallBack(&CallbackRecorder::Callback);
    api.SetServerInfo("127.0.0.1", servers.Login().Port());
    api.SetDeviceType(2);
    api.Run();
  }
  void TearDown() override {
    api.Release();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::string Database() { return dir + "/tesChat.db"; }
  size_t Count(int code) { return CallbackRecorder::Get().ReportsWith(code).size(); }
  std::optional<RecordedReport> WaitFor(int code) {
    return CallbackRecorder::Get().WaitFor(code, std::nullopt, std::chrono::seconds(30));
  }
  // Lets late reports arrive before counting them.
  void Settle() {
    ASSERT_TRUE(im.WaitFor([&] { return im.LoginPackets().size() >= 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }

  FakeLoginServer servers;
  FakeIMSessionServer im;
  std::string dir;
  TAPIInterface api;
};

TEST_F(LoginEndToEndTest, PhoneLoginRaisesOneSuccessAndTheGettersAnswer) {
  EXPECT_EQ(api.IsLogin(), 0);
  EXPECT_EQ(api.LoginState(), 0);
  ASSERT_EQ(api.SetDatabase(Database().c_str()), 2);
  EXPECT_EQ(std::string(api.GetMyUserID()), "0");
  ASSERT_EQ(api.SetMobileLogin("13800000000", "+86", "123456", "DEVICE-1", 1), 1);
  ASSERT_EQ(api.MakeRegister(), 1);

  auto success = WaitFor(_EVENT_LOGIN_SUCCESS);
  ASSERT_TRUE(success);
  Settle();
  EXPECT_EQ(Count(_EVENT_LOGIN_SUCCESS), 1u);
  EXPECT_EQ(Count(_EVENT_LOGIN_FAIL), 0u);
  EXPECT_EQ(success->a, 0);
  EXPECT_EQ(success->id, 0);
  Json::Value info;
  ASSERT_TRUE(Json::Reader().parse(success->text, info)) << success->text;
  EXPECT_EQ(info["code"].asInt(), 1);
  EXPECT_EQ(info["msg"].asString(), "OK");
  EXPECT_EQ(info["result"]["name"].asString(), "Li Lei");
  EXPECT_EQ(info["result"]["usertype"].asInt(), 2);
  EXPECT_EQ(info["result"]["userversion"].asInt(), 17);
  EXPECT_EQ(info["result"]["champflag"].asInt(), 1);
  EXPECT_EQ(info["result"]["firstreg"].asInt(), 1);

  EXPECT_EQ(api.IsLogin(), 1);
  EXPECT_EQ(api.LoginState(), 1);
  EXPECT_EQ(std::string(api.GetMyAccount()), "1001@im.test");
  EXPECT_EQ(std::string(api.GetMyUserID()), "1001");
  EXPECT_EQ(std::string(api.GetMyName()), "Li Lei");
  EXPECT_EQ(std::string(api.GetMyLogo()), "http://127.0.0.1/icon.png");
  EXPECT_EQ(std::string(api.GetMyBigLogo()), "http://127.0.0.1/big.png");
  EXPECT_EQ(std::string(api.GetMySummary()), "hello \"world\"");
  EXPECT_EQ(api.GetChampFlag(), 1);
  EXPECT_EQ(std::string(api.GetBombRedUrl()), "http://127.0.0.1/red");
  EXPECT_EQ(std::string(api.GetToken()), "session-token-1");
  EXPECT_EQ(std::string(api.GetUCUserID()), "uc-1001");

  // The requests on the way: registration by code, login, IM login with a valid key.
  auto registrations = servers.RegisterRequests();
  ASSERT_EQ(registrations.size(), 1u);
  EXPECT_EQ(registrations[0].path, FakeLoginServer::kRegisterPath);
  ASSERT_EQ(servers.LoginRequests().size(), 1u);
  EXPECT_EQ(servers.LoginRequests()[0].Header("TS-IM-TOKEN"),
            FakeLoginServer::RegisteredToken("reg-token-1"));
  auto packets = im.LoginPackets();
  ASSERT_EQ(packets.size(), 1u);
  EXPECT_TRUE(FakeIMSessionServer::LoginKeyValid(packets[0]));
  EXPECT_EQ(packets[0]["from"].asString(), "1001@im.test");

  // Unregistering clears the stored login flag and tells the IM server.
  api.MakeUnRegister();
  ASSERT_TRUE(im.WaitFor([&] { return im.CountText("R21001@im.test") == 5; }));
  EXPECT_EQ(api.IsLogin(), 0);

  // The next start of the program finds the session values in the database (a copy
  // of the file, since the facade keeps the database it has open).
  api.Release();
  const std::string copy = dir + "/restart.db";
  std::filesystem::copy_file(Database(), copy);
  if (std::filesystem::exists(Database() + "-wal"))
    std::filesystem::copy_file(Database() + "-wal", copy + "-wal");
  api.Init();
  ASSERT_EQ(api.SetDatabase(copy.c_str()), 2);
  EXPECT_EQ(std::string(api.GetMyAccount()), "1001@im.test");
  EXPECT_EQ(std::string(api.GetMyUserID()), "1001");
  EXPECT_EQ(std::string(api.GetMyName()), "Li Lei");
  EXPECT_EQ(std::string(api.GetMyLogo()), "http://127.0.0.1/icon.png");
  EXPECT_EQ(api.GetChampFlag(), 1);
  EXPECT_EQ(api.LoginState(), 0);
}

TEST_F(LoginEndToEndTest, QRLoginPollsThenLogsInWithThePollsToken) {
  servers.SetQRPlan("T123", 2, "1001@im.test", TestCipherKit::Encrypt("qr-token"));
  const std::string pollUrl = servers.Login().Url(std::string(FakeLoginServer::kLoginQRPath) +
                                                  "?auid=T123&device=DEVICE-1");
  ASSERT_EQ(api.GetQRUserInfo(pollUrl.c_str()), 1);
  auto scanned = WaitFor(_EVENT_REPORT_QRLOGIN);
  ASSERT_TRUE(scanned);
  ASSERT_EQ(scanned->a, 0);
  ASSERT_EQ(scanned->text, "1001@im.test");

  // What the program does with a confirmed scan.
  ASSERT_EQ(api.SetDatabase(Database().c_str()), 2);
  api.SetQRLogin(scanned->text.c_str(), "DEVICE-1", 1);
  api.MakeRegister();
  ASSERT_TRUE(WaitFor(_EVENT_LOGIN_SUCCESS));
  Settle();
  EXPECT_EQ(Count(_EVENT_LOGIN_SUCCESS), 1u);
  EXPECT_EQ(Count(_EVENT_REPORT_QRLOGIN), 1u);

  auto registrations = servers.RegisterRequests();
  ASSERT_EQ(registrations.size(), 1u);
  EXPECT_EQ(registrations[0].path, FakeLoginServer::kAccountInfoPath);
  EXPECT_EQ(registrations[0].Header("TS-IM-TOKEN"),
            FakeLoginServer::AccountInfoToken("qr-token", "DEVICE-1"));
  Json::Value login;
  ASSERT_TRUE(Json::Reader().parse(servers.LoginRequests().at(0).body, login));
  EXPECT_EQ(login["mobile"].asString(), "");
  EXPECT_EQ(login["email"].asString(), "");
  EXPECT_EQ(std::string(api.GetMyAccount()), "1001@im.test");
  EXPECT_EQ(api.LoginState(), 1);
}

TEST_F(LoginEndToEndTest, RefusedRegistrationRaisesOneFailureWithItsReason) {
  servers.SetRegisterReply(FakeReply::Json(R"({"code": -10, "msg": "bad code"})"));
  ASSERT_EQ(api.SetDatabase(Database().c_str()), 2);
  api.SetMobileLogin("13800000000", "+86", "000000", "DEVICE-1", 1);
  api.MakeRegister();
  auto failure = WaitFor(_EVENT_LOGIN_FAIL);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->a, 6);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(Count(_EVENT_LOGIN_FAIL), 1u);
  EXPECT_EQ(Count(_EVENT_LOGIN_SUCCESS), 0u);
  EXPECT_EQ(api.LoginState(), 0);
  EXPECT_EQ(api.IsLogin(), 0);
  EXPECT_TRUE(im.LoginPackets().empty());

  // The user corrects the code and tries again.
  servers.ClearReplies();
  api.SetMobileLogin("13800000000", "+86", "123456", "DEVICE-1", 1);
  api.MakeRegister();
  ASSERT_TRUE(WaitFor(_EVENT_LOGIN_SUCCESS));
  EXPECT_EQ(api.LoginState(), 1);
}

// The program's own setting: every HTTP exchange over TLS.
TEST(LoginOverHttps, PhoneLoginOverTlsRaisesOneSuccess) {
  setenv("TESMO_CA_FILE", TestCertificates::Get().caFile.c_str(), 1);
  THttpsClient::ReleaseContext();
  {
    FakeIMSessionServer im;
    FakeLoginServer servers(true);
    servers.SetIMPort(im.Port());
    ASSERT_TRUE(servers.Start());
    CallbackRecorder::Get().Clear();
    TAPIInterface api;
    api.Init();
    api.SetCallBack(&CallbackRecorder::Callback);
    api.UseOpenssl("", "", "");
    api.SetServerInfo("127.0.0.1", servers.Login().Port());
    api.SetDeviceType(2);
    api.Run();
    api.SetMobileLogin("13800000000", "+86", "123456", "DEVICE-1", 1);
    api.MakeRegister();
    auto success = CallbackRecorder::Get().WaitFor(_EVENT_LOGIN_SUCCESS, std::nullopt,
                                                   std::chrono::seconds(30));
    ASSERT_TRUE(success);
    EXPECT_EQ(CallbackRecorder::Get().ReportsWith(_EVENT_LOGIN_FAIL).size(), 0u);
    ASSERT_EQ(servers.LoginRequests().size(), 1u);
    EXPECT_EQ(servers.LoginRequests()[0].Header("TS-IM-TOKEN"),
              FakeLoginServer::RegisteredToken("reg-token-1"));
    EXPECT_EQ(std::string(api.GetMyName()), "Li Lei");
    api.Release();
  }
  unsetenv("TESMO_CA_FILE");
  THttpsClient::ReleaseContext();
}

}  // namespace
