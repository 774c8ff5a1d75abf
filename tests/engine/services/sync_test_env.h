// Shared set-up of the history and background-sync tests: a running engine with an
// account database, the scripted world of messages and groups on one loopback server
// (IMSERVER and GROUPSERVER), the user server's friends and details on another
// (USERSERVER and the own domain), and the engine's reports recorded.
#ifndef TESMO_TESTS_ENGINE_SERVICES_SYNC_TEST_ENV_H
#define TESMO_TESTS_ENGINE_SERVICES_SYNC_TEST_ENV_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/TDBManager.h"
#include "engine/services/service_test_env.h"
#include "fakes/FakeSyncWorld.h"
#include "fakes/FakeUserServer.h"
#include "services/THistorySync.h"

namespace synctest {

using servicetest::kOwn;
using servicetest::kOwnId;
constexpr char kDomain[] = "a.test";
// A request code of the tests' own: runs one call of the history sync on a worker.
constexpr int kRunOnWorker = 290101;

class SyncEnv : public servicetest::ServiceEnv {
 protected:
  void SetUp() override {
    users.SetOwn(kOwn);
    users.Mount(user, kDomain);
    world.SetOwn(kOwn);
    ASSERT_TRUE(user.Start());
    ASSERT_TRUE(im.Start());
    ASSERT_NO_FATAL_FAILURE(StartEngine(user.Port()));
    api.SetDeviceType(2);
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

  // Runs call on an HTTP worker with a packet of the given texts; the answer's a is
  // call's result.
  template <typename Call>
  RecordedReport OnWorker(Call call, const std::string& s1 = std::string(),
                          const std::string& s2 = std::string()) {
    return OnWorkerAs<THistorySync>(kRunOnWorker, call, s1, s2);
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

  TDBManager* Db() { return api.GetDatabaseManager(); }

  FakeUserServer users;
  FakeHttpServer user;
  FakeHttpServer im;
  FakeSyncWorld world{im};
};

}  // namespace synctest

#endif
