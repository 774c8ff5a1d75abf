// HTTPS: certificate verification against the test CA, host names, bounded handshakes,
// client certificates, and the reply framing over TLS records.
#include <gtest/gtest.h>
#include <netdb.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "core/TEngineCore.h"
#include "fakes/FakeHttpServer.h"
#include "net/THttpResponse.h"
#include "net/THttpsClient.h"
#include "util/TSocketUtil.h"

namespace {

using Clock = std::chrono::steady_clock;

class HttpTls : public ::testing::Test {
 protected:
  void SetUp() override { TrustTestCa(true); }
  void TearDown() override {
    unsetenv("TESMO_CA_FILE");
    THttpsClient::ReleaseContext();
  }
  static void TrustTestCa(bool trust) {
    if (trust) {
      setenv("TESMO_CA_FILE", TestCertificates::Get().caFile.c_str(), 1);
    } else {
      unsetenv("TESMO_CA_FILE");
    }
    THttpsClient::ReleaseContext();
  }
  // GET path from host:port; the body on success, nullopt-like false on failure.
  static bool Get(THttpBaseClient& client, const std::string& host, int port,
                  const std::string& path, std::string* body = nullptr, int* status = nullptr) {
    TServerRecord record{host, port};
    const int got = client.Exchange(&record, THttpBaseClient::BuildGetRequest(&record, path, ""));
    if (got <= 0) return false;
    const std::string reply(client.GetBuffer(), static_cast<size_t>(got));
    const size_t end = reply.find("\r\n\r\n");
    if (body) *body = reply.substr(end + 4);
    THttpResponse response;
    if (status && response.Parse(reply.c_str(), got) == 0) *status = response.GetStatus();
    return true;
  }
};

TEST_F(HttpTls, GetThroughTheTestCaSucceeds) {
  FakeHttpServer server(true);
  server.Route("/hello", FakeReply::Json("{\"code\": 1}"));
  ASSERT_TRUE(server.Start());
  THttpsClient client;
  EXPECT_EQ(client.GetKind(), THttpBaseClient::kKindTls);
  std::string body;
  int status = 0;
  ASSERT_TRUE(Get(client, "127.0.0.1", server.Port(), "/hello", &body, &status));
  EXPECT_EQ(status, 200);
  EXPECT_EQ(body, "{\"code\": 1}");
  ASSERT_EQ(server.RequestCount(), 1u);
  EXPECT_EQ(server.LastRequest().serverName, "");  // no SNI for an address
  // The same client object connects again for the next exchange.
  ASSERT_TRUE(Get(client, "127.0.0.1", server.Port(), "/hello", &body));
  EXPECT_EQ(server.ConnectionCount(), 2);
}

TEST_F(HttpTls, FramingOverTlsRecords) {
  std::string big(150000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + 3);
  FakeHttpServer server(true);
  FakeReply small = FakeReply::Text(200, "tiny records");
  small.pieceSize = 1;
  small.pauseMs = 1;
  server.Route("/bytes", small);
  FakeReply chunked = FakeReply::Text(200, big);
  chunked.framing = FakeReply::Framing::kChunked;
  chunked.chunkSplits = {5, 20000, 20001};
  chunked.writeSplits = {100, 101, 102, 30000};
  server.Route("/chunked", chunked);
  FakeReply toClose = FakeReply::Text(200, big);
  toClose.framing = FakeReply::Framing::kClose;
  server.Route("/close", toClose);
  FakeReply cut = FakeReply::Text(200, big);
  cut.framing = FakeReply::Framing::kClose;
  cut.closeAfter = 5000;  // no close_notify: a cut, not an end
  server.Route("/cut", cut);
  ASSERT_TRUE(server.Start());
  THttpsClient client;
  std::string body;
  ASSERT_TRUE(Get(client, "127.0.0.1", server.Port(), "/bytes", &body));
  EXPECT_EQ(body, "tiny records");
  ASSERT_TRUE(Get(client, "127.0.0.1", server.Port(), "/chunked", &body));
  EXPECT_TRUE(body == big);
  ASSERT_TRUE(Get(client, "127.0.0.1", server.Port(), "/close", &body));
  EXPECT_TRUE(body == big);
  EXPECT_FALSE(Get(client, "127.0.0.1", server.Port(), "/cut", &body));
}

TEST_F(HttpTls, PostAndDownloadOverTls) {
  FakeHttpServer server(true);
  server.Handle("/echo", [](const FakeRequest& r) { return FakeReply::Json(r.body); });
  const std::string file(40000, 'f');
  server.Route("/file", FakeReply::Text(200, file));
  ASSERT_TRUE(server.Start());
  THttpsClient client;
  TServerRecord record{"127.0.0.1", server.Port()};
  const std::string body = "{\"a\": \"" + std::string(20000, 'b') + "\"}";
  const int got = client.Exchange(
      &record, THttpBaseClient::BuildPostRequest(&record, "/echo", "application/json", body, ""));
  ASSERT_GT(got, 0);
  EXPECT_EQ(server.LastRequest().body, body);
  const std::string reply(client.GetBuffer(), static_cast<size_t>(got));
  EXPECT_EQ(reply.substr(reply.find("\r\n\r\n") + 4), body);

  FILE* f = std::tmpfile();
  int last = -1;
  TTransferProgress progress;
  progress.report = [&last](int v) { last = v; };
  ASSERT_GT(client.ExchangeToFile(&record, "/file", f, &progress), 0);
  EXPECT_EQ(last, 1000);
  std::rewind(f);
  std::string written(file.size() + 10, '\0');
  written.resize(std::fread(&written[0], 1, written.size(), f));
  std::fclose(f);
  EXPECT_EQ(written, file);
}

TEST_F(HttpTls, WithoutTheCaFileVerificationFails) {
  TrustTestCa(false);
  FakeHttpServer server(true);
  server.Route("/hello", FakeReply::Text(200, "x"));
  ASSERT_TRUE(server.Start());
  THttpsClient client;
  EXPECT_FALSE(Get(client, "127.0.0.1", server.Port(), "/hello"));
  EXPECT_EQ(client.GetReceivedLength(), 0);
  EXPECT_EQ(server.ConnectionCount(), 1);
  EXPECT_EQ(server.RequestCount(), 0u);  // nothing was sent to an unverified peer
  // Trusting the CA again (a new context) makes the same server good.
  TrustTestCa(true);
  EXPECT_TRUE(Get(client, "127.0.0.1", server.Port(), "/hello"));
}

TEST_F(HttpTls, CertificateForAnotherHostOrSelfSignedFails) {
  const TestCertificates& certs = TestCertificates::Get();
  struct Row {
    const char* name;
    std::string cert, key;
  } rows[] = {
      {"signed by the CA for another host", certs.otherHostCertFile, certs.otherHostKeyFile},
      {"self-signed for this host", certs.selfSignedCertFile, certs.selfSignedKeyFile}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeHttpServer server(true);
    server.SetCertificate(row.cert, row.key);
    server.Route("/", FakeReply::Text(200, "x"));
    ASSERT_TRUE(server.Start());
    THttpsClient client;
    EXPECT_FALSE(Get(client, "127.0.0.1", server.Port(), "/"));
    EXPECT_EQ(server.RequestCount(), 0u);
  }
}

TEST_F(HttpTls, HostNameIsCheckedAndSentAsSni) {
  FakeHttpServer server(true);
  server.Route("/", FakeReply::Text(200, "named"));
  ASSERT_TRUE(server.Start());
  const addrinfo* a = ResolveAddress("localhost", server.Port(), false);
  if (!a || a->ai_family != AF_INET) GTEST_SKIP() << "localhost does not lead to 127.0.0.1 here";
  THttpsClient client;
  std::string body;
  ASSERT_TRUE(Get(client, "localhost", server.Port(), "/", &body));
  EXPECT_EQ(body, "named");
  EXPECT_EQ(server.LastRequest().serverName, "localhost");

  FakeHttpServer other(true);
  other.SetCertificate(TestCertificates::Get().otherHostCertFile,
                       TestCertificates::Get().otherHostKeyFile);
  other.Route("/", FakeReply::Text(200, "x"));
  ASSERT_TRUE(other.Start());
  EXPECT_FALSE(Get(client, "localhost", other.Port(), "/"));
}

TEST_F(HttpTls, HandshakeWithAPlainServerFailsInBoundedTime) {
  FakeHttpServer plain;  // answers the hello with an HTTP 400 and closes
  plain.Route("/", FakeReply::Text(200, "plain"));
  ASSERT_TRUE(plain.Start());
  THttpsClient client;  // idle time-out 30 s
  auto start = Clock::now();
  EXPECT_FALSE(Get(client, "127.0.0.1", plain.Port(), "/"));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));

  FakeHttpServer silent;  // takes the connection and says nothing at all
  silent.SetSilent(true);
  ASSERT_TRUE(silent.Start());
  client.SetIdleTimeout(2);
  start = Clock::now();
  EXPECT_FALSE(Get(client, "127.0.0.1", silent.Port(), "/"));
  const auto waited = Clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(1900));
  EXPECT_LT(waited, std::chrono::seconds(20));
}

TEST_F(HttpTls, ClientCertificateIsUsedOnlyWhenGiven) {
  const TestCertificates& certs = TestCertificates::Get();
  EXPECT_EQ(THttpsClient::LoadCertificate(certs.clientCertFile, certs.clientKeyFile, "wrong"), 0);
  EXPECT_EQ(THttpsClient::LoadCertificate(certs.clientCertFile, certs.clientKeyFile, ""), 0);
  EXPECT_EQ(THttpsClient::LoadCertificate("/nonexistent.pem", certs.clientKeyFile, ""), 0);
  EXPECT_EQ(THttpsClient::LoadCertificate(certs.clientCertFile, certs.serverKeyFile, ""), 0);

  FakeHttpServer server(true);
  server.SetRequireClientCertificate(certs.caFile);
  server.Route("/", FakeReply::Text(200, "certified"));
  ASSERT_TRUE(server.Start());
  {
    // Empty texts: a context without a client certificate, which this server refuses.
    ASSERT_EQ(THttpsClient::LoadCertificate("", certs.clientKeyFile, ""), 1);
    THttpsClient client;
    EXPECT_FALSE(Get(client, "127.0.0.1", server.Port(), "/"));
  }
  THttpsClient::ReleaseContext();
  ASSERT_EQ(THttpsClient::LoadCertificate(certs.clientCertFile, certs.clientKeyFile,
                                          certs.clientKeyPassword),
            1);
  // Later loads keep the context as it is.
  EXPECT_EQ(THttpsClient::LoadCertificate("", "", ""), 1);
  THttpsClient client;
  std::string body;
  ASSERT_TRUE(Get(client, "127.0.0.1", server.Port(), "/", &body));
  EXPECT_EQ(body, "certified");
  EXPECT_TRUE(server.LastRequest().clientCertified);
}

TEST_F(HttpTls, FirstConnectTakesTheEngineCoresCertificateTexts) {
  const TestCertificates& certs = TestCertificates::Get();
  TEngineCore core(nullptr);
  core.UseOpenssl(certs.clientCertFile.c_str(), certs.clientKeyFile.c_str(),
                  certs.clientKeyPassword.c_str());
  FakeHttpServer server(true);
  server.SetRequireClientCertificate(certs.caFile);
  server.Route("/", FakeReply::Text(200, "ok"));
  ASSERT_TRUE(server.Start());
  THttpsClient client;
  ASSERT_TRUE(Get(client, "127.0.0.1", server.Port(), "/"));
  EXPECT_TRUE(server.LastRequest().clientCertified);
}

TEST_F(HttpTls, RedirectsStayOnTls) {
  FakeHttpServer target(true);
  target.Route("/there", FakeReply::Text(200, "secure target"));
  ASSERT_TRUE(target.Start());
  FakeHttpServer plainTarget;
  plainTarget.Route("/there", FakeReply::Text(200, "plain target"));
  ASSERT_TRUE(plainTarget.Start());
  FakeHttpServer origin(true);
  origin.Route("/up", FakeReply::Redirect(302, target.Url("/there")));
  origin.Route("/down", FakeReply::Redirect(302, plainTarget.Url("/there")));
  ASSERT_TRUE(origin.Start());
  THttpsClient client;
  std::string body;
  int status = 0;
  ASSERT_TRUE(Get(client, "127.0.0.1", origin.Port(), "/up", &body, &status));
  EXPECT_EQ(body, "secure target");
  EXPECT_EQ(target.LastRequest().Header("Host"), "127.0.0.1:" + std::to_string(target.Port()));
  // No downgrade: the redirect reply is what comes back.
  ASSERT_TRUE(Get(client, "127.0.0.1", origin.Port(), "/down", &body, &status));
  EXPECT_EQ(status, 302);
  EXPECT_EQ(plainTarget.ConnectionCount(), 0);
}

}  // namespace
