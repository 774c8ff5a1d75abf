// FakeHttpServer: a scriptable HTTP/1.1 or HTTPS server on 127.0.0.1 (ephemeral port)
// for end-to-end tests of everything that talks to an HTTP server.
//
//   FakeHttpServer server;  // FakeHttpServer server(true): HTTPS with the test CA's
//                           // certificate; clients trust it via TESMO_CA_FILE =
//                           // TestCertificates::Get().caFile
//   server.Route("/login.do", FakeReply::Json(R"({"code": 1})"));
//   server.Handle("/echo", [](const FakeRequest& r) { return FakeReply::Text(200, r.body); });
//   ASSERT_TRUE(server.Start());
//   std::string url = server.Url("/login.do?x=1");  // "http://127.0.0.1:<port>/login.do?x=1"
//   ... let the engine talk to it ...
//   std::vector<FakeRequest> seen = server.Requests("/login.do");  // raw, line, headers, body
//   server.Stop();  // also done by the destructor; no thread is left behind
//
// A protocol's endpoints (login, user, group, IM paths, file store) are emulated by
// registering their routes or handlers on one of these servers. Routes match the
// request's path exactly (query excluded); unmatched paths go to the fallback handler,
// 404 by default. A FakeReply scripts the answer: status, headers,
// body, gzip, chunked framing with chosen chunk ends, read-to-close, raw bytes, and the
// delivery: a delay, a stall, pieces with pauses, an early close. Handlers (called on
// the connection's thread) build dynamic answers; routes may change while it runs.
// Each connection carries one request; the server closes it after the reply. Bytes that
// do not begin like a request (a TLS hello sent to the plain server) get a 400 at once.
// Over TLS each request also records the SNI name and whether a client certificate came.
#ifndef TESMO_TESTS_FAKES_FAKEHTTPSERVER_H
#define TESMO_TESTS_FAKES_FAKEHTTPSERVER_H

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fakes/FakeReply.h"
#include "fakes/FakeRequest.h"
#include "fakes/TestCertificates.h"

struct ssl_ctx_st;

class FakeHttpServer {
 public:
  using Handler = std::function<FakeReply(const FakeRequest&)>;

  explicit FakeHttpServer(bool tls = false);
  ~FakeHttpServer();
  FakeHttpServer(const FakeHttpServer&) = delete;
  FakeHttpServer& operator=(const FakeHttpServer&) = delete;

  // HTTPS only, before Start: the certificate and key to present (default: the test
  // CA's "localhost"/127.0.0.1 certificate).
  void SetCertificate(const std::string& certFile, const std::string& keyFile);
  void Route(const std::string& path, const FakeReply& reply);
  void Handle(const std::string& path, Handler handler);
  void SetFallback(Handler handler);
  // HTTPS only, before Start: ask for a client certificate signed by caFile and
  // refuse the handshake without one.
  void SetRequireClientCertificate(const std::string& caFile);
  // Accept connections but never answer nor record anything: a peer that says nothing.
  void SetSilent(bool silent);
  // Before Start: listen on this port instead of an ephemeral one.
  void SetPort(int port) { m_port = port; }
  // Keeps only the newest limit requests (0: all), for servers that run for hours.
  void SetRecordLimit(size_t limit);

  bool Start();
  void Stop();

  int Port() const { return m_port; }
  bool IsTls() const { return m_tls; }
  std::string BaseUrl() const;  // "http://127.0.0.1:<port>" or "https://..."
  std::string Url(const std::string& pathAndQuery) const;

  std::vector<FakeRequest> Requests() const;
  std::vector<FakeRequest> Requests(const std::string& path) const;
  size_t RequestCount() const;
  FakeRequest LastRequest() const;  // an empty one when there is none
  // Waits until at least count requests were recorded.
  bool WaitForRequests(size_t count, int timeoutMs = 10000) const;
  void ClearRequests();
  // Connections accepted so far (with or without a complete request).
  int ConnectionCount() const { return m_connections.load(); }

 private:
  class Connection;

  void AcceptLoop();
  void Serve(int fd, int number);
  Handler FindHandler(const std::string& path) const;
  void Record(const FakeRequest& request);

  const bool m_tls;
  std::string m_certFile;
  std::string m_keyFile;
  std::string m_clientCaFile;
  ssl_ctx_st* m_context = nullptr;
  int m_listenFd = -1;
  int m_wakePipe[2] = {-1, -1};
  // Read by request and handler threads (Url, Port) while a restart may write it.
  std::atomic<int> m_port{0};
  std::atomic<bool> m_running{false};
  std::atomic<bool> m_silent{false};
  std::atomic<int> m_connections{0};
  std::thread m_acceptor;

  mutable std::mutex m_mutex;  // guards everything below
  mutable std::condition_variable m_requestArrived;
  std::map<std::string, Handler> m_handlers;
  Handler m_fallback;
  std::vector<FakeRequest> m_requests;
  size_t m_recordLimit = 0;
  std::vector<std::thread> m_workers;
  // Workers whose connection is over, joined at the next accept so that a long run
  // does not pile up finished threads.
  std::vector<std::thread::id> m_finished;
};

#endif
