// Shared set-up of the user-service tests: a running engine with an account
// database, two user-server domains on their own loopback servers ("a.test" also
// serves as USERSERVER, LOGIN and PUBSERVER), a group server that records what it is
// told, and the engine's reports recorded.
#ifndef TESMO_TESTS_ENGINE_SERVICES_USER_TEST_ENV_H
#define TESMO_TESTS_ENGINE_SERVICES_USER_TEST_ENV_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "db/TDBManager.h"
#include "engine/services/service_test_env.h"
#include "fakes/FakeUserServer.h"
#include "services/TContactCache.h"
#include "services/TUserService.h"

namespace usertest {

using servicetest::kOwn;
using servicetest::kOwnId;
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

class UserEnv : public servicetest::ServiceEnv {
 protected:
  void SetUp() override {
    users.SetOwn(kOwn);
    users.Mount(a, kDomainA);
    users.Mount(b, kDomainB);
    group.Handle("/group/info/process.do", [](const FakeRequest&) {
      return FakeReply::Json(R"({"code": 1, "msg": "group ok"})");
    });
    ASSERT_TRUE(a.Start());
    ASSERT_TRUE(b.Start());
    ASSERT_TRUE(group.Start());
    ASSERT_NO_FATAL_FAILURE(StartEngine(a.Port()));
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

  RecordedReport Post(const std::string& url, const std::string& body) {
    const int id = NextId();
    api.SendPost(id, url.c_str(), body.c_str());
    return Reply(_REQUEST_HTTP_SENDPOST, id);
  }
  RecordedReport Get(const std::string& url) {
    const int id = NextId();
    api.SendGet(id, url.c_str());
    return Reply(_REQUEST_HTTP_SENDGET, id);
  }
  // Runs call on an HTTP worker with a packet of the given texts; the answer's a is
  // call's result and its text the packet's s4.
  template <typename Call>
  RecordedReport OnWorker(Call call, const std::string& s1 = std::string(),
                          const std::string& s2 = std::string()) {
    return OnWorkerAs<TUserService>(kRunOnWorker, call, s1, s2);
  }

  FakeUserServer users;
  FakeHttpServer a;
  FakeHttpServer b;
  FakeHttpServer group;
};

}  // namespace usertest

#endif
