#include "net/THttpsClient.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "base/TStopFlag.h"
#include "net/TNetContext.h"
#include "platform/clock.h"
#include "platform/socket.h"
#include "util/TSocketUtil.h"

namespace {

// Longest single wait inside the handshake and write loops, so a stop is seen soon.
constexpr int kWaitSliceMs = 100;

std::mutex g_contextMutex;
SSL_CTX* g_context = nullptr;

void Trace(const char* text) {
  std::fputs(text, stdout);
  std::fflush(stdout);
}

// Traces the error kinds that are real failures; the retry kinds pass silently.
int ErrorKind(SSL* ssl, int result) {
  const int kind = SSL_get_error(ssl, result);
  switch (kind) {
    case SSL_ERROR_NONE:
    case SSL_ERROR_WANT_READ:
    case SSL_ERROR_WANT_WRITE:
    case SSL_ERROR_ZERO_RETURN:
      break;
    case SSL_ERROR_SSL:
      Trace("ssl_error:[SSL_ERROR_SSL]\n");
      break;
    case SSL_ERROR_WANT_X509_LOOKUP:
      Trace("ssl_error:[SSL_ERROR_WANT_X509_LOOKUP]\n");
      break;
    case SSL_ERROR_SYSCALL:
      Trace("ssl_error:[SSL_ERROR_SYSCALL]\n");
      break;
    case SSL_ERROR_WANT_CONNECT:
      Trace("ssl_error:[SSL_ERROR_WANT_CONNECT]\n");
      break;
    case SSL_ERROR_WANT_ACCEPT:
      Trace("ssl_error:[SSL_ERROR_WANT_ACCEPT]\n");
      break;
    default:
      Trace("ssl_error:[default]\n");
      break;
  }
  return kind;
}

// The key's password comes from the caller, never from a terminal prompt.
int PasswordCallback(char* buffer, int size, int, void* userData) {
  const auto* password = static_cast<const std::string*>(userData);
  if (!password || password->empty() || size <= 0) return 0;
  const int length = std::min(static_cast<int>(password->size()), size);
  std::memcpy(buffer, password->data(), static_cast<size_t>(length));
  return length;
}

// Builds the shared context; g_contextMutex must be held.
int CreateContextLocked(const std::string& certFile, const std::string& keyFile,
                        const std::string& password) {
  if (g_context) return 1;
  OPENSSL_init_ssl(OPENSSL_INIT_LOAD_SSL_STRINGS | OPENSSL_INIT_LOAD_CRYPTO_STRINGS, nullptr);
  OPENSSL_init_ssl(0, nullptr);
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  if (!context) {
    Trace("SSL_CTX_new return NULL\n");
    return 0;
  }
  SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
  if (SSL_CTX_set_default_verify_paths(context) != 1)
    Trace("SSL_CTX_set_default_verify_paths error\n");
  const char* extraCa = std::getenv("TESMO_CA_FILE");
  if (extraCa && *extraCa && SSL_CTX_load_verify_locations(context, extraCa, nullptr) != 1) {
    Trace("SSL_CTX_load_verify_locations error\n");
  }
  if (!certFile.empty() && !keyFile.empty()) {
    if (SSL_CTX_use_certificate_file(context, certFile.c_str(), SSL_FILETYPE_PEM) != 1) {
      Trace("SSL_CTX_use_certificate_file error\n");
      SSL_CTX_free(context);
      return 0;
    }
    SSL_CTX_set_default_passwd_cb(context, PasswordCallback);
    SSL_CTX_set_default_passwd_cb_userdata(context, const_cast<std::string*>(&password));
    const int keyLoaded = SSL_CTX_use_PrivateKey_file(context, keyFile.c_str(), SSL_FILETYPE_PEM);
    SSL_CTX_set_default_passwd_cb_userdata(context, nullptr);
    if (keyLoaded != 1) {
      Trace("SSL_CTX_use_PrivateKey_file error\n");
      SSL_CTX_free(context);
      return 0;
    }
    if (SSL_CTX_check_private_key(context) != 1) {
      Trace("SSL_CTX_check_private_key error\n");
      SSL_CTX_free(context);
      return 0;
    }
  }
  ERR_clear_error();
  g_context = context;
  return 1;
}

// A new connection object on the shared context (built on first use), or nullptr.
SSL* NewConnection() {
  std::string cert, key, password;
  if (TNetContext* core = TNetContext::Instance()) {
    cert = core->GetCertFile();
    key = core->GetKeyFile();
    password = core->GetPassword();
  }
  std::lock_guard<std::mutex> lock(g_contextMutex);
  if (!CreateContextLocked(cert, key, password)) return nullptr;
  return SSL_new(g_context);
}

bool IsIpLiteral(const std::string& host) {
  unsigned char address[sizeof(in6_addr)];
  return inet_pton(AF_INET, host.c_str(), address) == 1 ||
         inet_pton(AF_INET6, host.c_str(), address) == 1;
}

// Waits for the events on sock up to ms; false on time-out or a poll error.
bool PollFor(int sock, short events, int ms) {
  pollfd p{sock, events, 0};
  int r;
  do {
    r = poll(&p, 1, ms);
  } while (r < 0 && errno == EINTR);
  return r > 0;
}

}  // namespace

THttpsClient::THttpsClient() : THttpBaseClient(kKindTls) { tesmo::StartSockets(); }

THttpsClient::~THttpsClient() { FreeConnection(); }

int THttpsClient::LoadCertificate(const std::string& certFile, const std::string& keyFile,
                                  const std::string& password) {
  tesmo::StartSockets();
  std::lock_guard<std::mutex> lock(g_contextMutex);
  return CreateContextLocked(certFile, keyFile, password);
}

void THttpsClient::ReleaseContext() {
  std::lock_guard<std::mutex> lock(g_contextMutex);
  // Each connection holds its own reference to the context.
  SSL_CTX_free(g_context);
  g_context = nullptr;
}

void THttpsClient::FreeConnection() {
  if (m_ssl) SSL_free(m_ssl);
  m_ssl = nullptr;
  m_needSocket = false;
  m_wantWrite = false;
}

int THttpsClient::Connect(const TServerRecord* server) {
  if (!server || !NetworkAllows(server->host)) return -1;
  return Connect(server->host, server->port);
}

int THttpsClient::Connect(const std::string& host, int port) {
  if (!NetworkAllows(host)) return -1;
  FreeConnection();
  const int sock = ConnectTcp(
      host, port, GetConnectTimeout() > 0 ? GetConnectTimeout() : kConnectTimeoutSeconds);
  if (sock < 0) return -1;
  m_ssl = NewConnection();
  if (!m_ssl || SSL_set_fd(m_ssl, sock) != 1) {
    FreeConnection();
    close(sock);
    return -1;
  }
  std::string name = host;
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') {
    name = name.substr(1, name.size() - 2);
  }
  bool named;
  if (IsIpLiteral(name)) {
    named = X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(m_ssl), name.c_str()) == 1;
  } else {
    SSL_set_hostflags(m_ssl, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    named = SSL_set_tlsext_host_name(m_ssl, name.c_str()) == 1 &&
            SSL_set1_host(m_ssl, name.c_str()) == 1;
  }
  if (!named || !Handshake(sock)) {
    FreeConnection();
    close(sock);
    return -1;
  }
  return sock;
}

bool THttpsClient::Handshake(int sock) {
  const uint64_t deadline = tesmo::TickCountMs() + static_cast<uint64_t>(GetIdleTimeout()) * 1000u;
  for (;;) {
    ERR_clear_error();
    const int result = SSL_connect(m_ssl);
    if (result == 1) return true;
    const int kind = ErrorKind(m_ssl, result);
    if (kind != SSL_ERROR_WANT_READ && kind != SSL_ERROR_WANT_WRITE && kind != SSL_ERROR_NONE) {
      const long verify = SSL_get_verify_result(m_ssl);
      if (verify != X509_V_OK) {
        std::printf("ssl_verify:[%s]\n", X509_verify_cert_error_string(verify));
        std::fflush(stdout);
      }
      return false;
    }
    const uint64_t now = tesmo::TickCountMs();
    if (IsEngineStopping() || now >= deadline) return false;
    const int wait = static_cast<int>(std::min<uint64_t>(kWaitSliceMs, deadline - now));
    PollFor(sock, kind == SSL_ERROR_WANT_WRITE ? POLLOUT : POLLIN, wait);
  }
}

int THttpsClient::Send(int sock, const char* data, int length) {
  if (!m_ssl || length <= 0) return 0;
  const uint64_t idleMs = static_cast<uint64_t>(GetIdleTimeout()) * 1000u;
  uint64_t since = tesmo::TickCountMs();
  int done = 0;
  while (done < length) {
    ERR_clear_error();
    const int result = SSL_write(m_ssl, data + done, length - done);
    if (result > 0) {
      done += result;
      since = tesmo::TickCountMs();
      continue;
    }
    const int kind = ErrorKind(m_ssl, result);
    if (kind != SSL_ERROR_WANT_WRITE && kind != SSL_ERROR_WANT_READ) return 0;
    if (IsEngineStopping() || tesmo::TickCountMs() - since >= idleMs) return 0;
    PollFor(sock, kind == SSL_ERROR_WANT_WRITE ? POLLOUT : POLLIN, kWaitSliceMs);
  }
  return length;
}

int THttpsClient::Recv(int, char* buffer, int length, int) {
  if (!m_ssl) return -1;
  ERR_clear_error();
  const int result = SSL_read(m_ssl, buffer, length);
  m_needSocket = false;
  m_wantWrite = false;
  if (result > 0) return result;
  const int kind = ErrorKind(m_ssl, result);
  if (kind == SSL_ERROR_WANT_READ || kind == SSL_ERROR_WANT_WRITE) {
    m_needSocket = true;
    m_wantWrite = kind == SSL_ERROR_WANT_WRITE;
    m_readAgain = 1;
    return -1;
  }
  // Only the peer's close_notify is an orderly end; a bare close could be a cut.
  return kind == SSL_ERROR_ZERO_RETURN ? 0 : -1;
}

int THttpsClient::WaitReadable(int sock, int seconds) {
  // Bytes the library holds count, unless the last read said they are not enough
  // (a record only partly arrived): then only the socket can help.
  if (m_ssl && !m_needSocket && SSL_has_pending(m_ssl)) return 1;
  const short events = m_wantWrite ? (POLLIN | POLLOUT) : POLLIN;
  return PollFor(sock, events, (seconds > 0 ? seconds : 1) * 1000) ? 1 : 0;
}

void THttpsClient::Disconnect(int sock) {
  if (m_ssl) {
    // One try at close_notify; the socket is non-blocking, so this never waits.
    ERR_clear_error();
    SSL_shutdown(m_ssl);
    ERR_clear_error();
  }
  FreeConnection();
  if (sock >= 0) close(sock);
}
