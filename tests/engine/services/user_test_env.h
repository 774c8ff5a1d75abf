// Shared set-up of the user-service tests: a running engine with an account
// database, two user-server domains on their own loopback servers ("a.test" also
// serves as USERSERVER, LOGIN and PUBSERVER), a group server that records what it is
// told, and the engine's reports recorded.
#ifndef TESMO_TESTS_ENGINE_SERVICES_USER_TEST_ENV_H
#define TESMO_TESTS_ENGINE_SERVICES_USER_TEST_ENV_H

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "db/TDBManager.h"
#include "engine/db/StoreTestSupport.h"
#include "engine/net/ServiceTestSupport.h"
#include "fakes/FakeHttpServer.h"
#include "fakes/FakeUserServer.h"
#include "net/THttpRequestService.h"
#include "services/TContactCache.h"
#include "services/TUserService.h"
#include "support/CallbackRecorder.h"

namespace usertest {

constexpr char kOwnId[] = "1001";
constexpr char kOwn[] = "1001@a.test";
constexpr char kDomainA[] = "a.test";
constexpr char kDomainB[] = "b.test";
// A request code of the tests' own: runs one call of the user service on a worker.
constexpr int kRunOnWorker = 290001;

inline FakeUserServer::User MakeUser(const std::string& id, const std::string& domain,
                                     int version = 1) {
  FakeUserServer::User u;
  u.userId = id;
  u.account = id + "@" + domain;
  u.mobile = "1380000" + id;
  u.email = id + "@mail.test";
  u.name = "User " + id;
  u.fullspell = "user" + id;
  u.initspell = "u" + id;
  u.logo = "http://127.0.0.1/logo/" + id;
  u.biglogo = "http://127.0.0.1/big/" + id;
  u.summary = "it's " + id;
  u.version = version;
  return u;
}

class UserEnv : public ::testing::Test {
 protected:
  void SetUp() override {
    CallbackRecorder::Get().Clear();
    users.SetOwn(kOwn);
    users.Mount(a, kDomainA);
    users.Mount(b, kDomainB);
    group.Handle("/group/info/process.do", [](const FakeRequest&) {
      return FakeReply::Json(R"({"code": 1, "msg": "group ok"})");
    });
    ASSERT_TRUE(a.Start());
    ASSERT_TRUE(b.Start());
    ASSERT_TRUE(group.Start());
    api.Init();
    api.SetCallBack(&CallbackRecorder::Callback);
    ASSERT_EQ(api.SetDatabase(dir.File("tesChat.db").c_str()), 2);
    api.SetServerInfo("127.0.0.1", a.Port());
    core = TEngineCore::Instance();
    core->SetUserAccount(kOwnId, kOwn);
    core->SetProfile("Me", "http://me/logo", "", "", 7, 1);
    core->SetServer("USERSERVER", Address(a));
    core->SetServer("PUBSERVER", Address(a));
    core->SetServer("GROUPSERVER", Address(group));
    core->SetServer(kDomainA, Address(a));
    core->SetServer(kDomainB, Address(b));
    api.Run();
  }
  void TearDown() override {
    api.Release();
    // The servers' threads call into `users`, which is destroyed after them.
    a.Stop();
    b.Stop();
    group.Stop();
  }

  static std::string Address(const FakeHttpServer& server) {
    return "127.0.0.1:" + std::to_string(server.Port());
  }

  // The one answer to a queued request, waited for generously.
  RecordedReport Reply(int code, int id) {
    auto r = CallbackRecorder::Get().WaitFor(code, id, std::chrono::seconds(60));
    EXPECT_TRUE(r.has_value()) << "no answer " << code << " for id " << id;
    return r.value_or(RecordedReport{});
  }
  RecordedReport Post(const std::string& url, const std::string& body) {
    const int id = ++m_nextId;
    api.SendPost(id, url.c_str(), body.c_str());
    return Reply(_REQUEST_HTTP_SENDPOST, id);
  }
  RecordedReport Get(const std::string& url) {
    const int id = ++m_nextId;
    api.SendGet(id, url.c_str());
    return Reply(_REQUEST_HTTP_SENDGET, id);
  }
  // Runs call on an HTTP worker with a packet of the given texts; the answer's a is
  // call's result and its text the packet's s4.
  template <typename Call>
  RecordedReport OnWorker(Call call, const std::string& s1 = std::string(),
                          const std::string& s2 = std::string()) {
    ScopedExecutor run(kRunOnWorker, [call](THttpRequestService& service, TAPIPacket* p) {
      TUserService user(service);
      return call(user, p);
    });
    const int id = ++m_nextId;
    TAPIPacket* p = new TAPIPacket;
    p->code = kRunOnWorker;
    p->id = id;
    p->s1 = s1;
    p->s2 = s2;
    core->PostPacket(p);
    return Reply(kRunOnWorker, id);
  }

  storetest::Rows Rows(const std::string& sql) { return storetest::Select(api, sql); }
  std::string One(const std::string& sql) { return storetest::SelectOne(api, sql); }
  size_t Events(int code) { return CallbackRecorder::Get().ReportsWith(code).size(); }

  FakeUserServer users;
  FakeHttpServer a;
  FakeHttpServer b;
  FakeHttpServer group;
  storetest::TempDir dir;
  TAPIInterface api;
  TEngineCore* core = nullptr;

 private:
  std::atomic<int> m_nextId{100};
};

}  // namespace usertest

#endif
