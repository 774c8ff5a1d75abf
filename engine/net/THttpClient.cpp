#include "net/THttpClient.h"

#include <sys/socket.h>

#include <cerrno>

#include "base/TStopFlag.h"
#include "platform/socket.h"
#include "util/TSocketUtil.h"

THttpClient::THttpClient() : THttpBaseClient(kKindPlain) { tesmo::StartSockets(); }

int THttpClient::Connect(const TServerRecord* server) {
  if (!server || !NetworkAllows(server->host)) return -1;
  const int sock =
      ConnectTcp(server->host, server->port,
                 GetConnectTimeout() > 0 ? GetConnectTimeout() : kConnectTimeoutSeconds);
  return sock >= 0 ? sock : -1;
}

int THttpClient::Connect(const std::string& host, int port) {
  if (!NetworkAllows(host)) return -1;
  for (int attempt = 0; attempt < kConnectAttempts && !IsEngineStopping(); ++attempt) {
    const int sock = ConnectTcp(
        host, port, GetConnectTimeout() > 0 ? GetConnectTimeout() : kConnectTimeoutSeconds);
    if (sock >= 0) return sock;
  }
  return -1;
}

int THttpClient::Send(int sock, const char* data, int length) {
  if (sock < 0 || length <= 0) return 0;
  return SendAll(sock, data, static_cast<size_t>(length)) ? length : 0;
}

int THttpClient::Recv(int sock, char* buffer, int length, int flags) {
  const ssize_t n = recv(sock, buffer, static_cast<size_t>(length), flags);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
    m_readAgain = 1;
    return -1;
  }
  return static_cast<int>(n);
}

int THttpClient::WaitReadable(int sock, int seconds) {
  for (int waited = 0; waited < (seconds > 0 ? seconds : 1); ++waited) {
    if (::WaitReadable(sock)) return 1;
  }
  return 0;
}
