// Shared set-up of the push tests: a running engine with an account database,
// registered with the loopback IM server (the HTTP login step is skipped), and one
// loopback HTTP server acting as the user server (details, friends) and the IM
// server's send paths (refusal notices). Pushes come from the IM server.
#ifndef TESMO_TESTS_ENGINE_NET_PUSHTESTENV_H
#define TESMO_TESTS_ENGINE_NET_PUSHTESTENV_H

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "engine/db/StoreTestSupport.h"
#include "engine/net/ServiceTestSupport.h"
#include "fakes/FakeHttpServer.h"
#include "fakes/FakeIMServer.h"
#include "fakes/FakeIMSessionServer.h"
#include "fakes/FakeImHttpPaths.h"
#include "fakes/FakeUserServer.h"
#include "net/THttpRequestService.h"
#include "net/TIMSession.h"
#include "support/CallbackRecorder.h"

namespace pushtest {

constexpr char kOwnId[] = "12";
constexpr char kOwn[] = "12@d.test";
constexpr char kDomain[] = "d.test";
constexpr int kOwnDevice = 2;

inline FakeUserServer::User User(const std::string& id, int version = 1) {
  FakeUserServer::User u;
  u.userId = id;
  u.account = id + "@" + kDomain;
  u.mobile = "1380000" + id;
  u.name = "User " + id;
  u.logo = "http://127.0.0.1/logo/" + id;
  u.biglogo = "http://127.0.0.1/big/" + id;
  u.version = version;
  return u;
}

class PushEnv : public ::testing::Test {
 protected:
  void SetUp() override {
    CallbackRecorder::Get().Clear();
    users.SetOwn(kOwn);
    users.AddUser(User(kOwnId));
    users.Mount(http, kDomain);
    ASSERT_TRUE(http.Start());
    ASSERT_NO_FATAL_FAILURE(StartEngine());
  }
  // Also after a Release in the same process, when the facade still holds the file.
  void StartEngine(bool fileOpen = false) {
    api.Init();
    core = TEngineCore::Instance();
    // No background synchronisation: its friend pass would replace the black list
    // and add rows while a test reads the database.
    core->GetRequestService()->SetBackgroundWorkerFactory(nullptr);
    api.SetCallBack(&CallbackRecorder::Callback);
    if (m_withDatabase) {
      ASSERT_EQ(api.SetDatabase(dir.File("tesChat.db").c_str()), fileOpen ? 1 : 2);
    }
    api.SetDeviceType(kOwnDevice);
    core->GetIMSession()->SetLoginFunction([] { return 0; });
    core->SetProxyServer("127.0.0.1:" + std::to_string(im.Port()));
    core->SetUserAccount(kOwnId, kOwn);
    core->SetProfile("Me", "", "", "", 3, 0);
    core->SetLoginInfo("{\"code\": 1}");
    const std::string here = "127.0.0.1:" + std::to_string(http.Port());
    core->SetServer("USERSERVER", here);
    core->SetServer("IMSERVER", here);
    core->SetServer(kDomain, here);
    api.SetMobileLogin("13800000012", "+86", "1234", "DEVICE-1", 0);
    api.Run();
  }
  void TearDown() override {
    api.Release();
    http.Stop();
  }

  void LogIn() {
    api.MakeRegister();
    ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_LOGIN_SUCCESS, std::nullopt,
                                                std::chrono::seconds(20)));
  }
  // A chat push as the server sends it.
  static std::string Chat(const std::string& from, const std::string& to, const std::string& type,
                          long long msgid, const std::string& content,
                          FakeIMServer::Params extra = {}) {
    FakeIMServer::Params params = {{"id", std::to_string(msgid)},
                                   {"content", content},
                                   {"curtime", "2026-05-01 10:00:00"},
                                   {"fromdev", "1"},
                                   {"fromversion", "1"}};
    for (auto& e : extra) {
      bool replaced = false;
      for (auto& p : params)
        if (p.first == e.first) p.second = e.second, replaced = true;
      if (!replaced) params.push_back(e);
    }
    return FakeIMServer::ChatPacket(from, to, type, params);
  }
  void Push(const std::string& text, int copies = 1) { im.Server().Push(text, copies); }
  // Pushes are handled one at a time in order: once a marker pushed last has come
  // back as its event, everything before it has been handled. A flood under the
  // sanitizers on a busy machine can take minutes to store, so the wait is bounded by
  // a stall: it fails only when the engine reported nothing for a while.
  void Sync() {
    const std::string marker = "sync-" + std::to_string(++m_syncs);
    Push(FakeIMServer::SysPacket(kOwn, "jlhb", {{"content", marker}}));
    constexpr auto kStall = std::chrono::seconds(45);
    size_t reports = CallbackRecorder::Get().Reports().size();
    auto lastReport = std::chrono::steady_clock::now();
    while (!WaitForText(_EVENT_COME_JLHB, marker, std::chrono::seconds(1))) {
      const size_t now = CallbackRecorder::Get().Reports().size();
      if (now != reports) {
        reports = now;
        lastReport = std::chrono::steady_clock::now();
      }
      ASSERT_LT(std::chrono::steady_clock::now() - lastReport, kStall)
          << "no report for " << kStall.count() << " s while waiting for " << marker;
    }
  }
  bool WaitForText(int code, const std::string& text,
                   std::chrono::seconds limit = std::chrono::seconds(30)) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      for (auto& r : CallbackRecorder::Get().ReportsWith(code))
        if (r.text == text) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  size_t Count(int code) { return CallbackRecorder::Get().ReportsWith(code).size(); }
  storetest::Rows Select(const std::string& sql) { return storetest::Select(api, sql); }
  std::string SelectOne(const std::string& sql) { return storetest::SelectOne(api, sql); }
  int Rows(const std::string& where) {
    return std::stoi(SelectOne("select count(*) from nq_message where " + where));
  }

  FakeHttpServer http;
  FakeUserServer users;
  FakeImHttpPaths sendPaths{http};
  FakeIMSessionServer im;
  storetest::TempDir dir;
  TAPIInterface api;
  TEngineCore* core = nullptr;
  int m_syncs = 0;
  bool m_withDatabase = true;  // set by a derived constructor
};

}  // namespace pushtest

#endif
