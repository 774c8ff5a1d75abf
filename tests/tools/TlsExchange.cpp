#include "tools/TlsExchange.h"

#include <openssl/ssl.h>
#include <unistd.h>

#include "tools/LocalServerProcess.h"

std::string TlsExchange(int port, const std::string& caFile, const std::string& request) {
  SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
  SSL_CTX_load_verify_locations(ctx, caFile.c_str(), nullptr);
  SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
  SSL* ssl = SSL_new(ctx);
  const int fd = ConnectLoopback(port);
  std::string answer;
  if (fd >= 0) {
    SSL_set_fd(ssl, fd);
    SSL_set_tlsext_host_name(ssl, "localhost");
    if (SSL_connect(ssl) == 1) {
      SSL_write(ssl, request.data(), static_cast<int>(request.size()));
      char buffer[4096];
      int n;
      while ((n = SSL_read(ssl, buffer, sizeof(buffer))) > 0)
        answer.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
  }
  SSL_free(ssl);
  SSL_CTX_free(ctx);
  return answer;
}
