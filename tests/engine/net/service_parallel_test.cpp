// Four requests run at once against the loopback server, each worker on its own
// client slot; the fifth waits for a free worker. Plain and TLS clients per slot.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "ServiceTestSupport.h"
#include "core/TEngineCore.h"
#include "fakes/FakeHttpServer.h"
#include "net/THttpBaseClient.h"

namespace {

struct SlotUse {
  int slot = -1;
  const THttpBaseClient* client = nullptr;
};

class ServiceParallelTest : public ::testing::Test {
 protected:
  void SetUp() override { CallbackRecorder::Get().Clear(); }
  void TearDown() override { m_api.Release(); }

  // Wraps the built-in GET of the engine's service to note the slot and client each
  // request ran on.
  void RecordSlots() {
    TEngineCore::Instance()->GetRequestService()->RegisterExecutor(
        _REQUEST_HTTP_SENDGET, [this](THttpRequestService& service, TAPIPacket* p) {
          {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_uses[p->id] = SlotUse{p->state, service.GetClient(p->state, p->s1)};
          }
          return service.Get(p, p->s1);
        });
  }
  SlotUse UseOf(int id) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_uses[id];
  }

  TAPIInterface m_api;
  std::mutex m_mutex;
  std::map<int, SlotUse> m_uses;
};

TEST_F(ServiceParallelTest, FourSlowRequestsRunAtOnceThenTheFifth) {
  FakeHttpServer server;
  Gate gate;
  server.Handle("/slow", [&](const FakeRequest& r) {
    gate.Enter();
    return FakeReply::Text(200, "done " + r.query);
  });
  ASSERT_TRUE(server.Start());
  m_api.Init();
  m_api.SetCallBack(&CallbackRecorder::Callback);
  RecordSlots();
  m_api.Run();
  THttpRequestService* service = TEngineCore::Instance()->GetRequestService();

  for (int id = 1; id <= 5; ++id)
    m_api.SendGet(id, server.Url("/slow?n=" + std::to_string(id)).c_str());

  ASSERT_TRUE(gate.WaitInside(4));
  // Four exchanges are inside the server at once; the fifth is still queued.
  EXPECT_EQ(server.ConnectionCount(), 4);
  EXPECT_EQ(service->QueuedCount(), 1u);
  std::set<int> slots;
  std::set<const THttpBaseClient*> clients;
  for (int id = 1; id <= 4; ++id) {
    SlotUse use = UseOf(id);
    slots.insert(use.slot);
    clients.insert(use.client);
    EXPECT_NE(use.client, nullptr);
  }
  EXPECT_EQ(slots, (std::set<int>{0, 1, 2, 3}));
  EXPECT_EQ(clients.size(), 4u);

  gate.Pass(1);
  ASSERT_TRUE(gate.WaitEntered(5));
  auto first = CallbackRecorder::Get().ReportsWith(_REQUEST_HTTP_SENDGET);
  ASSERT_EQ(first.size(), 1u);
  // The worker that answered took the fifth, with its own slot and client.
  EXPECT_EQ(UseOf(5).slot, UseOf(first[0].id).slot);
  EXPECT_EQ(UseOf(5).client, UseOf(first[0].id).client);

  gate.Open();
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_REQUEST_HTTP_SENDGET, 5));
  for (int id = 1; id <= 5; ++id) {
    auto r = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_SENDGET, id);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->a, 0);
    EXPECT_EQ(r->text, "done n=" + std::to_string(id));
    EXPECT_EQ(CallbackRecorder::Get().Count(_REQUEST_HTTP_SENDGET, id), 1u);
  }
  EXPECT_EQ(server.ConnectionCount(), 5);
}

TEST_F(ServiceParallelTest, WithHttpsOffEveryUrlUsesThePlainClientOfItsSlot) {
  m_api.Init();
  m_api.Run();
  THttpRequestService* service = TEngineCore::Instance()->GetRequestService();
  for (int slot = 0; slot < THttpRequestService::kClientSlots; ++slot) {
    THttpBaseClient* plain = service->GetClient(slot, "http://h/x");
    ASSERT_NE(plain, nullptr) << slot;
    EXPECT_EQ(plain->GetKind(), THttpBaseClient::kKindPlain);
    EXPECT_EQ(service->GetClient(slot, "https://h/x"), plain) << slot;
  }
  EXPECT_EQ(service->GetClient(-1, "http://h/x"), nullptr);
  EXPECT_EQ(service->GetClient(5, "http://h/x"), nullptr);
}

TEST_F(ServiceParallelTest, WithHttpsOnSecureUrlsUseTheTlsClientOfTheirSlot) {
  setenv("TESMO_CA_FILE", TestCertificates::Get().caFile.c_str(), 1);
  FakeHttpServer tls(true);
  tls.Route("/secure", FakeReply::Json("{\"code\": 1}"));
  ASSERT_TRUE(tls.Start());
  FakeHttpServer plain;
  plain.Route("/open", FakeReply::Json("{\"code\": 2}"));
  ASSERT_TRUE(plain.Start());

  m_api.Init();
  m_api.SetCallBack(&CallbackRecorder::Callback);
  m_api.UseOpenssl("", "", "");
  RecordSlots();
  m_api.Run();
  THttpRequestService* service = TEngineCore::Instance()->GetRequestService();
  std::set<const THttpBaseClient*> all;
  for (int slot = 0; slot < THttpRequestService::kClientSlots; ++slot) {
    THttpBaseClient* secure = service->GetClient(slot, "https://h/x");
    THttpBaseClient* open = service->GetClient(slot, "http://h/x?next=https://h");
    ASSERT_NE(secure, nullptr);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(secure->GetKind(), THttpBaseClient::kKindTls);
    EXPECT_EQ(open->GetKind(), THttpBaseClient::kKindPlain);
    all.insert(secure);
    all.insert(open);
  }
  EXPECT_EQ(all.size(), 10u);

  m_api.SendGet(1, tls.Url("/secure").c_str());
  m_api.SendGet(2, (plain.Url("/open") + "?back=https://x").c_str());
  auto s = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_SENDGET, 1);
  auto o = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_SENDGET, 2);
  ASSERT_TRUE(s && o);
  EXPECT_EQ(s->a, 0);
  EXPECT_EQ(s->text, "{\"code\": 1}");
  EXPECT_EQ(o->a, 0);
  EXPECT_EQ(o->text, "{\"code\": 2}");
  EXPECT_EQ(UseOf(1).client->GetKind(), THttpBaseClient::kKindTls);
  EXPECT_EQ(UseOf(2).client->GetKind(), THttpBaseClient::kKindPlain);
  unsetenv("TESMO_CA_FILE");
}

}  // namespace
