// HTTP over plain TCP sockets.
#ifndef TESMO_NET_THTTPCLIENT_H
#define TESMO_NET_THTTPCLIENT_H

#include "net/THttpBaseClient.h"

class THttpClient : public THttpBaseClient {
 public:
  static constexpr int kConnectTimeoutSeconds = 30;
  static constexpr int kConnectAttempts = 5;

  THttpClient();

  // One connect attempt; -1 without a record or when the network is down.
  int Connect(const TServerRecord* server) override;
  // Up to kConnectAttempts connect attempts.
  int Connect(const std::string& host, int port) override;
  int Send(int sock, const char* data, int length) override;
  int Recv(int sock, char* buffer, int length, int flags) override;
  int WaitReadable(int sock, int seconds) override;
};

#endif
