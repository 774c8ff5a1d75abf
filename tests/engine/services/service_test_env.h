// Shared part of the service tests' set-ups: a running engine with an account
// database under a temporary folder, the own account and profile, the engine's
// reports recorded, and the helpers that wait for answers, run one call of a
// service on an HTTP worker and read the database. The fixtures add their
// loopback servers.
#ifndef TESMO_TESTS_ENGINE_SERVICES_SERVICE_TEST_ENV_H
#define TESMO_TESTS_ENGINE_SERVICES_SERVICE_TEST_ENV_H

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "engine/db/StoreTestSupport.h"
#include "engine/net/ServiceTestSupport.h"
#include "fakes/FakeHttpServer.h"
#include "net/THttpRequestService.h"
#include "support/CallbackRecorder.h"

namespace servicetest {

constexpr char kOwnId[] = "1001";
constexpr char kOwn[] = "1001@a.test";

class ServiceEnv : public ::testing::Test {
 protected:
  // Opens the account database, names the login server and sets the own account
  // and profile; the fixture then names its servers and runs the engine.
  void StartEngine(unsigned short loginPort) {
    CallbackRecorder::Get().Clear();
    api.Init();
    api.SetCallBack(&CallbackRecorder::Callback);
    ASSERT_EQ(api.SetDatabase(dir.File("tesChat.db").c_str()), 2);
    api.SetServerInfo("127.0.0.1", loginPort);
    core = TEngineCore::Instance();
    core->SetUserAccount(kOwnId, kOwn);
    core->SetProfile("Me", "http://me/logo", "", "", 7, 1);
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
  int NextId() { return ++m_nextId; }

  // Runs call on an HTTP worker with a Service made for it and a packet of the
  // given texts, as request `code`; the answer's a is call's result and its text
  // the packet's s4.
  template <typename Service, typename Call>
  RecordedReport OnWorkerAs(int code, Call call, const std::string& s1, const std::string& s2) {
    ScopedExecutor run(*core->GetRequestService(), code,
                       [call](THttpRequestService& service, TAPIPacket* p) {
                         Service served(service);
                         return call(served, p);
                       });
    const int id = NextId();
    TAPIPacket* p = new TAPIPacket;
    p->code = code;
    p->id = id;
    p->s1 = s1;
    p->s2 = s2;
    core->PostPacket(p);
    return Reply(code, id);
  }

  storetest::Rows Rows(const std::string& sql) { return storetest::Select(api, sql); }
  std::string One(const std::string& sql) { return storetest::SelectOne(api, sql); }
  size_t Events(int code) { return CallbackRecorder::Get().ReportsWith(code).size(); }

  storetest::TempDir dir;
  TAPIInterface api;
  TEngineCore* core = nullptr;

 private:
  std::atomic<int> m_nextId{100};
};

}  // namespace servicetest

#endif
