// Shared set-up of the end-to-end send tests: a running engine with an account
// database, the loopback IM send paths and a file store, the engine's reports
// recorded, and the internal peer-check requests the sends queue.
#ifndef TESMO_TESTS_ENGINE_SERVICES_SEND_TEST_ENV_H
#define TESMO_TESTS_ENGINE_SERVICES_SEND_TEST_ENV_H

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "engine/db/StoreTestSupport.h"
#include "engine/net/ServiceTestSupport.h"
#include "fakes/FakeFileStore.h"
#include "fakes/FakeHttpServer.h"
#include "fakes/FakeImHttpPaths.h"
#include "net/THttpRequestService.h"
#include "support/CallbackRecorder.h"

namespace sendtest {

constexpr char kOwn[] = "1001@tesmo.x";
constexpr char kPeer[] = "2002@tesmo.x";
constexpr char kGroup[] = "3003@group.tesmo.x";
constexpr char kDownServer[] = "http://files.tesmo.test";

// The internal request 101 that a one-to-one send queues, as its executor sees it.
class PeerChecks {
 public:
  static PeerChecks& Get() {
    static PeerChecks checks;
    return checks;
  }
  // Records the requests of service in place of the user service's check.
  void Install(THttpRequestService& service) {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_seen.clear();
    }
    service.RegisterExecutor(kInternalPeerMessage, [](THttpRequestService&, TAPIPacket* packet) {
      Get().Add(packet->s1, packet->s2);
      return 0;
    });
  }
  void Add(const std::string& own, const std::string& peer) {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_seen.emplace_back(own, peer);
    }
    m_cond.notify_all();
  }
  std::vector<std::pair<std::string, std::string>> WaitFor(size_t count) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_cond.wait_for(lock, std::chrono::seconds(30), [&] { return m_seen.size() >= count; });
    return m_seen;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_cond;
  std::vector<std::pair<std::string, std::string>> m_seen;
};

class SendEnv : public ::testing::Test {
 protected:
  void SetUp() override {
    CallbackRecorder::Get().Clear();
    ASSERT_TRUE(http.Start());
    api.Init();
    api.SetCallBack(&CallbackRecorder::Callback);
    ASSERT_EQ(api.SetDatabase(dir.File("tesChat.db").c_str()), 2);
    api.SetDeviceType(2);
    TEngineCore* core = TEngineCore::Instance();
    PeerChecks::Get().Install(*core->GetRequestService());
    core->SetUserAccount("1001", kOwn);
    core->SetProfile("Me", "http://me/logo", "", "", 7, 0);
    core->SetServer("IMSERVER", "127.0.0.1:" + std::to_string(http.Port()));
    core->SetUpServer(store.TrackerAddress());
    core->SetDownServer(kDownServer);
    api.Run();
  }
  void TearDown() override {
    api.Release();
    // The server's threads call into `im`, which is destroyed before `http`.
    http.Stop();
  }

  // The one answer to a queued request, waited for generously.
  RecordedReport Reply(int code, int id) {
    auto r = CallbackRecorder::Get().WaitFor(code, id, std::chrono::seconds(60));
    EXPECT_TRUE(r.has_value()) << "no answer " << code << " for id " << id;
    return r.value_or(RecordedReport{});
  }
  std::string Column(int id, const std::string& column) {
    return storetest::SelectOne(
        api, "select " + column + " from nq_message where id=" + std::to_string(id));
  }
  std::string File(const std::string& name, const std::string& bytes) {
    std::string path = dir.File(name);
    storetest::WriteFile(path, bytes);
    return path;
  }

  FakeHttpServer http;
  FakeImHttpPaths im{http};
  FakeFileStore store;
  storetest::TempDir dir;
  TAPIInterface api;
};

}  // namespace sendtest

#endif
