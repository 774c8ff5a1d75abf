// HTTP over TLS (OpenSSL). The server's certificate is verified against the system's
// trust store, plus the CA bundle named by the environment variable TESMO_CA_FILE
// when it is set, and must name the host connected to (SNI is sent for host names).
// One TLS context serves every client of the process.
#ifndef TESMO_NET_THTTPSCLIENT_H
#define TESMO_NET_THTTPSCLIENT_H

#include <string>

#include "net/THttpBaseClient.h"

struct ssl_st;

class THttpsClient : public THttpBaseClient {
 public:
  static constexpr int kConnectTimeoutSeconds = 30;

  THttpsClient();
  ~THttpsClient() override;

  int Connect(const TServerRecord* server) override;
  // TCP connect and TLS handshake, the handshake bounded by the idle time-out.
  int Connect(const std::string& host, int port) override;
  int Send(int sock, const char* data, int length) override;
  int Recv(int sock, char* buffer, int length, int flags) override;
  int WaitReadable(int sock, int seconds) override;
  void Disconnect(int sock) override;

  // Creates the shared TLS context once (later calls return 1 at once). The client
  // certificate and key (PEM files, the key possibly protected by password) are loaded
  // only when both names are non-empty. 1 on success, 0 on failure (no context kept).
  // Connect creates the context on first use with the texts given to the engine core's
  // UseOpenssl when no one did before.
  static int LoadCertificate(const std::string& certFile, const std::string& keyFile,
                             const std::string& password);
  // Drops the shared context so the next use builds a new one (and reads TESMO_CA_FILE
  // again). Connections already made keep theirs.
  static void ReleaseContext();

 private:
  bool Handshake(int sock);
  void FreeConnection();

  ssl_st* m_ssl = nullptr;
  // The last read needs more from the socket before it can go on.
  bool m_needSocket = false;
  // ... and wanted to write first (a key update): wait for writability too.
  bool m_wantWrite = false;
};

#endif
