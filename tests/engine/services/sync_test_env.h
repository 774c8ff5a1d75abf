// Shared set-up of the history and background-sync tests: a running engine with an
// account database, the scripted world of messages and groups on one loopback server
// (IMSERVER and GROUPSERVER), the user server's friends and details on another
// (USERSERVER and the own domain), and the engine's reports recorded.
#ifndef TESMO_TESTS_ENGINE_SERVICES_SYNC_TEST_ENV_H
#define TESMO_TESTS_ENGINE_SERVICES_SYNC_TEST_ENV_H

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "db/TDBManager.h"
#include "engine/db/StoreTestSupport.h"
#include "engine/net/ServiceTestSupport.h"
#include "fakes/FakeHttpServer.h"
#include "fakes/FakeSyncWorld.h"
#include "fakes/FakeUserServer.h"
#include "net/THttpRequestService.h"
#include "services/THistorySync.h"
#include "support/CallbackRecorder.h"

namespace synctest {

constexpr char kOwnId[] = "1001";
constexpr char kOwn[] = "1001@a.test";
constexpr char kDomain[] = "a.test";
// A request code of the tests' own: runs one call of the history sync on a worker.
constexpr int kRunOnWorker = 290101;

class SyncEnv : public ::testing::Test {
 protected:
  void SetUp() override {
    CallbackRecorder::Get().Clear();
    users.SetOwn(kOwn);
    users.Mount(user, kDomain);
    world.SetOwn(kOwn);
    ASSERT_TRUE(user.Start());
    ASSERT_TRUE(im.Start());
    api.Init();
    api.SetCallBack(&CallbackRecorder::Callback);
    ASSERT_EQ(api.SetDatabase(dir.File("tesChat.db").c_str()), 2);
    api.SetServerInfo("127.0.0.1", user.Port());
    api.SetDeviceType(2);
    core = TEngineCore::Instance();
    core->SetUserAccount(kOwnId, kOwn);
    core->SetProfile("Me", "http://me/logo", "", "", 7, 1);
    core->SetServer("USERSERVER", Address(user));
    core->SetServer(kDomain, Address(user));
    core->SetServer("IMSERVER", Address(im));
    core->SetServer("GROUPSERVER", Address(im));
    api.Run();
  }
  void TearDown() override {
    api.Release();
    user.Stop();
    im.Stop();
  }

  static std::string Address(const FakeHttpServer& server) {
    return "127.0.0.1:" + std::to_string(server.Port());
  }

  RecordedReport Reply(int code, int id) {
    auto r = CallbackRecorder::Get().WaitFor(code, id, std::chrono::seconds(60));
    EXPECT_TRUE(r.has_value()) << "no answer " << code << " for id " << id;
    return r.value_or(RecordedReport{});
  }
  // Runs call on an HTTP worker with a packet of the given texts; the answer's a is
  // call's result.
  template <typename Call>
  RecordedReport OnWorker(Call call, const std::string& s1 = std::string(),
                          const std::string& s2 = std::string()) {
    ScopedExecutor run(kRunOnWorker, [call](THttpRequestService& service, TAPIPacket* p) {
      THistorySync history(service);
      return call(history, p);
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

  // Waits for the end of a synchronisation pass (the count-th 100013).
  bool WaitForPassEnd(size_t count = 1) {
    return CallbackRecorder::Get().WaitForCount(_EVENT_COME_FINISHIMHISTORY, count,
                                                std::chrono::seconds(120));
  }
  // The codes of the reports raised so far, in order, among the sync's events.
  std::vector<int> SyncEvents() {
    std::vector<int> codes;
    for (const RecordedReport& r : CallbackRecorder::Get().Reports()) {
      switch (r.code) {
        case _EVENT_REPORT_FRIENDNOTIFY:
        case _EVENT_COME_GROUPNOTIFY:
        case _EVENT_REPORT_FIRSTGROUPUPDATE:
        case _EVENT_REPORT_GROUPUPDATE:
        case _EVENT_REPORT_GROUPMSGID:
        case _EVENT_COME_IMMESSAGE:
        case _EVENT_COME_HISTORYIM:
        case _EVENT_COME_FINISHIMHISTORY:
          codes.push_back(r.code);
          break;
        default:
          break;
      }
    }
    return codes;
  }

  storetest::Rows Rows(const std::string& sql) { return storetest::Select(api, sql); }
  std::string One(const std::string& sql) { return storetest::SelectOne(api, sql); }
  size_t Events(int code) { return CallbackRecorder::Get().ReportsWith(code).size(); }
  TDBManager* Db() { return api.GetDatabaseManager(); }

  FakeUserServer users;
  FakeHttpServer user;
  FakeHttpServer im;
  FakeSyncWorld world{im};
  storetest::TempDir dir;
  TAPIInterface api;
  TEngineCore* core = nullptr;

 private:
  std::atomic<int> m_nextId{100};
};

}  // namespace synctest

#endif
