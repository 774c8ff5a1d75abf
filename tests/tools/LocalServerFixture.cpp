#include "LocalServerFixture.h"

#include <stdlib.h>

#include <utility>

LocalServerFixture::LocalServerFixture(std::string world, std::string folder)
    : m_world(std::move(world)), m_folder(std::move(folder)) {}

void LocalServerFixture::SetUp() {
  m_temp = std::make_unique<TempFolder>(m_folder);
  ASSERT_FALSE(m_temp->Path().empty());
  dir = m_temp->Path();
  ASSERT_NO_FATAL_FAILURE(StartServer());
}

void LocalServerFixture::TearDown() {
  api.Release();
  if (server) {
    EXPECT_EQ(server->Stop(), 0) << server->Errors();
  }
  m_temp.reset();
}

void LocalServerFixture::StartServer() {
  server = std::make_unique<LocalServerProcess>();
  ASSERT_TRUE(server->Start({"--world", m_world, "--state", dir + "/state"}))
      << server->Output() << server->Errors();
}

void LocalServerFixture::RestartServer() {
  ASSERT_EQ(server->Stop(), 0) << server->Errors();
  ASSERT_NO_FATAL_FAILURE(StartServer());
}

void LocalServerFixture::PrepareEngine(const LocalServerProcess& at) {
  setenv("TESMO_CA_FILE", at.Value("TESMO_CA_FILE").c_str(), 1);
  CallbackRecorder::Get().Clear();
  api.Init();
  api.SetCallBack(&CallbackRecorder::Callback);
  api.UseOpenssl("", "", "");
  api.SetServerInfo("127.0.0.1", at.Port("TESMO_SERVER"));
  api.SetDeviceType(2);
}

void LocalServerFixture::LogInByCode(const std::string& database, const std::string& mobile,
                                     const std::string& code, const std::string& device,
                                     std::chrono::seconds wait) {
  ASSERT_EQ(api.SetDatabase((dir + "/" + database).c_str()), 2);
  ASSERT_EQ(api.SetMobileLogin(mobile.c_str(), "+86", code.c_str(), device.c_str(), 1), 1);
  ASSERT_EQ(api.MakeRegister(), 1);
  ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_LOGIN_SUCCESS, std::nullopt, wait))
      << server->Output();
}

void LocalServerFixture::StartAndLogIn(const std::string& database, const std::string& mobile,
                                       const std::string& code, const std::string& device) {
  PrepareEngine(*server);
  api.Run();
  LogInByCode(database, mobile, code, device);
}

std::optional<RecordedReport> LocalServerFixture::Wait(int code, std::optional<int> id) {
  return CallbackRecorder::Get().WaitFor(code, id, kReportWait);
}
