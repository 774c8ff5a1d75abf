// Connecting: the network check, loopback destinations, and the plain transport's slots.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "core/TEngineCore.h"
#include "fakes/FakeHttpServer.h"
#include "net/THttpClient.h"
#include "net/THttpsClient.h"

namespace {

TEST(HttpConnect, NetworkCheckSparesLoopbackAndRunsWithoutACore) {
  // No engine core: nothing to ask, every host may be tried.
  EXPECT_TRUE(THttpBaseClient::NetworkAllows("10.1.2.3"));
  EXPECT_TRUE(THttpBaseClient::NetworkAllows("im.example"));
  TEngineCore core(nullptr);
  const bool up = core.IsNetworkUp() != 0;
  EXPECT_EQ(THttpBaseClient::NetworkAllows("10.1.2.3"), up);
  EXPECT_EQ(THttpBaseClient::NetworkAllows("im.example"), up);
  for (const char* host : {"127.0.0.1", "127.9.9.9", "localhost", "::1"}) {
    EXPECT_TRUE(THttpBaseClient::NetworkAllows(host)) << host;
  }
}

TEST(HttpConnect, LoopbackExchangeWorksWithAnEngineCore) {
  TEngineCore core(nullptr);
  core.SetToken("session-token");
  FakeHttpServer server;
  server.Route("/ping", FakeReply::Text(200, "pong"));
  ASSERT_TRUE(server.Start());
  THttpClient client;
  TServerRecord record{"127.0.0.1", server.Port()};
  ASSERT_GT(client.Exchange(&record, THttpBaseClient::BuildGetRequest(&record, "/ping")), 0);
  EXPECT_EQ(server.LastRequest().Header("TS-IM-TOKEN"), "session-token");
}

TEST(HttpConnect, PlainSlots) {
  FakeHttpServer server;
  server.Route("/", FakeReply::Text(200, "slots"));
  ASSERT_TRUE(server.Start());
  THttpClient client;
  EXPECT_EQ(client.GetKind(), THttpBaseClient::kKindPlain);
  EXPECT_EQ(client.GetIdleTimeout(), 30);
  EXPECT_EQ(client.Connect(static_cast<const TServerRecord*>(nullptr)), -1);

  const int sock = client.Connect("127.0.0.1", server.Port());
  ASSERT_GE(sock, 0);
  const std::string request = "GET / HTTP/1.1\r\nHost: x\r\n\r\n";
  EXPECT_EQ(client.Send(sock, request.data(), static_cast<int>(request.size())),
            static_cast<int>(request.size()));
  std::string reply;
  char buf[256];
  for (int i = 0; i < 100; ++i) {
    if (!client.WaitReadable(sock, 1)) continue;
    const int n = client.Recv(sock, buf, sizeof(buf), 0);
    if (n == 0) break;
    if (n > 0) reply.append(buf, static_cast<size_t>(n));
  }
  client.Disconnect(sock);
  EXPECT_NE(reply.find("\r\n\r\nslots"), std::string::npos);

  // Nothing listens on a released port: every attempt is refused at once.
  int freePort;
  {
    FakeHttpServer gone;
    ASSERT_TRUE(gone.Start());
    freePort = gone.Port();
  }
  EXPECT_EQ(client.Connect("127.0.0.1", freePort), -1);
}

TEST(HttpConnect, TlsSlotsWithoutAConnection) {
  THttpsClient client;
  char buf[16];
  EXPECT_EQ(client.Send(3, "abc", 3), 0);
  EXPECT_LT(client.Recv(3, buf, sizeof(buf), 0), 0);
  client.Disconnect(-1);
}

}  // namespace
