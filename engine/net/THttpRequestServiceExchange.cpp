// One HTTP exchange as the engine sees it: pick the client, split the URL, send,
// receive, undo a gzip body, check the status, hand the body back.
#include <strings.h>

#include <cstring>
#include <memory>

#include "base/TAPIPacket.h"
#include "net/THttpBaseClient.h"
#include "net/THttpClient.h"
#include "net/THttpRequestService.h"
#include "net/THttpResponse.h"
#include "net/THttpsClient.h"
#include "net/TNetContext.h"
#include "net/TUrlCodec.h"
#include "util/TGzip.h"
#include "util/TLogFile.h"
#include "util/TTextUtil.h"

namespace {

constexpr const char kJsonContentType[] = "application/json";
constexpr const char kQrUserInfoPath[] = "/qrcode/getuserinfo.do?";
constexpr int kQrPollIdleSeconds = 60;

bool HttpsOn() {
  const TNetContext* core = TNetContext::Instance();
  return core && core->IsHttps();
}

// Only the scheme makes a URL secure; "https" in a query or path does not.
bool WantsTls(const std::string& url) { return HttpsOn() && IsHttpsUrl(url); }

// An https URL with TLS switched off must not go out in clear text.
bool TlsMissing(const std::string& url) { return !HttpsOn() && IsHttpsUrl(url); }

// A CR or LF in a URL would let it write header lines of its own.
bool HasLineBreak(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos;
}

// The URL's server and path. A URL whose first "/", "?" or "#" does not open a "//"
// is a path on the HTTP server (its query may hold other URLs); so is one with an
// empty host ("http:///p"). False when the URL does not split or no server is known.
bool ResolveTarget(const std::string& url, TServerRecord* server, std::string* path) {
  server->host.clear();
  server->port = 0;
  const size_t slashes = url.find("//");
  if (slashes == std::string::npos || slashes != url.find_first_of("/?#")) {
    *path = url[0] == '/' ? url : "/" + url;
  } else {
    *path = SplitUrl(url, server->host, server->port);
    if (path->empty()) {
      const size_t authorityEnd = url.find('/', slashes + 2);
      if (authorityEnd != slashes + 2) return false;  // a bad port, not an empty host
      *path = url.substr(authorityEnd);
    }
  }
  if (server->host.empty()) {
    const TNetContext* core = TNetContext::Instance();
    if (core) {
      server->host = core->GetHttpHost();
      server->port = core->GetHttpPort();
    }
  }
  return !server->host.empty();
}

// The request text: a GET of path, or a JSON POST of body.
std::string BuildRequest(const TServerRecord& server, const std::string& path,
                         const std::string* postBody) {
  return postBody ? THttpBaseClient::BuildPostRequest(&server, path, kJsonContentType, *postBody)
                  : THttpBaseClient::BuildGetRequest(&server, path);
}

void LogText(const std::string& text) {
  TNetContext* core = TNetContext::Instance();
  TLogFile* log = core ? core->GetHttpLog() : nullptr;
  if (log && log->IsOpen()) log->WriteLine(text.c_str());
}

}  // namespace

int THttpRequestService::DecodeReply(const char* reply, size_t length, int* status,
                                     std::string* body) {
  if (!reply) return kHttpNoBuffer;
  const char* end = static_cast<const char*>(memmem(reply, length, "\r\n\r\n", 4));
  if (!end) return kHttpUndecodable;
  const size_t headerLength = static_cast<size_t>(end - reply) + 4;

  THttpResponse response;
  if (response.Parse(reply, static_cast<int>(headerLength)) != 0) return kHttpBadHeader;
  if (status) *status = response.GetStatus();

  std::string content;
  const char* rest = reply + headerLength;
  const size_t restLength = length - headerLength;
  if (restLength > 0) {
    // Only the Content-Encoding header decides; "gzip" elsewhere (a cookie, a file
    // name) means nothing. A coding we cannot undo is a failure, never raw bytes.
    if (!DecodeContent(ContentCodingOf(response.GetHeader("Content-Encoding")), rest, restLength,
                       &content))
      return kHttpUndecodable;
  }
  if (response.GetStatus() < 200 || response.GetStatus() > 299) return kHttpBadStatus;
  if (body) body->swap(content);
  return kHttpOk;
}

int THttpRequestService::CoreExchange(THttpBaseClient* client, const TServerRecord& server,
                                      const std::string& request, int* status, std::string* body) {
  if (!client) return kHttpNoClient;
  LogText(request);
  int received = client->Exchange(&server, request);
  if (received <= 0) return kHttpSendFailed;
  const char* buffer = client->GetBuffer();
  if (!buffer) return kHttpNoBuffer;
  const size_t length = static_cast<size_t>(client->GetReceivedLength());
  LogText(std::string(buffer, length));
  return DecodeReply(buffer, length, status, body);
}

THttpBaseClient* THttpRequestService::GetClient(int slot, const std::string& url) const {
  if (slot < 0 || slot >= kClientSlots) return nullptr;
  return WantsTls(url) ? m_tlsClients[slot].get() : m_plainClients[slot].get();
}

int THttpRequestService::PacketExchange(TAPIPacket* packet, const std::string& url,
                                        const std::string* postBody) {
  int result = kHttpSendFailed;
  TServerRecord server;
  std::string path;
  if (!url.empty() && !HasLineBreak(url) && !TlsMissing(url) &&
      ResolveTarget(url, &server, &path)) {
    THttpBaseClient* client = GetClient(packet->state, url);
    std::string body;
    int status = 0;
    result = CoreExchange(client, server, BuildRequest(server, path, postBody), &status, &body);
    if (result == kHttpOk) packet->s4.swap(body);
  }
  packet->a = result;
  return result;
}

int THttpRequestService::Get(TAPIPacket* packet, const std::string& url) {
  return Routed(packet, url, std::string(), nullptr);
}

int THttpRequestService::Post(TAPIPacket* packet, const std::string& url, const std::string& body) {
  return Routed(packet, url, body, &body);
}

int THttpRequestService::DoPost(TAPIPacket* packet, const std::string& url,
                                const std::string& body) {
  if (!packet) return kHttpNoClient;
  return PacketExchange(packet, url, &body);
}

int THttpRequestService::Routed(TAPIPacket* packet, const std::string& url,
                                const std::string& interceptBody, const std::string* postBody) {
  if (!packet) return kHttpNoClient;
  Interceptor interceptor;
  Router router;
  CopyReplyHooks(&interceptor, &router);
  if (interceptor) {
    int handled = 0;
    int result = interceptor(*this, packet, url, interceptBody, &handled);
    if (handled) return result;
  }
  int result = PacketExchange(packet, url, postBody);
  if (result == kHttpOk && router) {
    const std::string reply = packet->s4;
    router(*this, packet, url, reply);
  }
  return result;
}

std::string THttpRequestService::SyncExchange(const std::string& url, const std::string* postBody,
                                              int* error, int timeoutSeconds) {
  int dummy = 0;
  int* err = error ? error : &dummy;
  TServerRecord server;
  std::string path;
  if (url.empty() || HasLineBreak(url) || TlsMissing(url) || url.find("//") == std::string::npos) {
    *err = kSyncOtherFailure;
    return std::string();
  }
  path = SplitUrl(url, server.host, server.port);
  if (server.host.empty()) {
    *err = kSyncOtherFailure;
    return std::string();
  }
  std::unique_ptr<THttpBaseClient> client;
  if (WantsTls(url))
    client = std::make_unique<THttpsClient>();
  else
    client = std::make_unique<THttpClient>();
  if (!postBody && url.find(kQrUserInfoPath) != std::string::npos) {
    // A long poll: the server may hold the reply back for the whole idle time, and
    // the reply still gets its own deadline after that.
    client->SetIdleTimeout(kQrPollIdleSeconds);
    client->SetReplyDeadline(kQrPollIdleSeconds * 1000 + THttpBaseClient::kDefaultReplyDeadlineMs);
  }
  if (timeoutSeconds > 0) {
    client->SetIdleTimeout(timeoutSeconds);
    client->SetConnectTimeout(timeoutSeconds);
  }
  std::string body;
  int result =
      CoreExchange(client.get(), server, BuildRequest(server, path, postBody), nullptr, &body);
  if (result != kHttpOk) {
    *err = result == kHttpSendFailed ? kSyncNoReply : kSyncOtherFailure;
    return std::string();
  }
  return body;
}

std::string THttpRequestService::SyncGet(const std::string& url, int* error) {
  return SyncExchange(url, nullptr, error);
}

std::string THttpRequestService::PostJson(const std::string& url, const std::string& body,
                                          int* error, int timeoutSeconds) {
  return SyncExchange(url, &body, error, timeoutSeconds);
}

int THttpRequestService::DownloadExchange(TAPIPacket* packet, const std::string& url, FILE* file,
                                          const TTransferProgress* progress,
                                          TContentCoding* coding) {
  if (coding) *coding = TContentCoding::kIdentity;
  if (!packet || !file) return kHttpNoClient;
  TServerRecord server;
  std::string path;
  if (url.empty() || HasLineBreak(url) || TlsMissing(url) || !ResolveTarget(url, &server, &path))
    return kHttpSendFailed;
  THttpBaseClient* client = GetClient(packet->state, url);
  if (!client) return kHttpNoClient;
  int headerLength = client->ExchangeToFile(&server, path, file, progress);
  if (headerLength == THttpBaseClient::kUnparsableReply) return kDownloadBadHeader;
  if (headerLength <= 0) return kHttpSendFailed;
  const char* buffer = client->GetBuffer();
  if (!buffer) return kHttpNoBuffer;
  THttpResponse response;
  if (response.Parse(buffer, headerLength) != 0) return kDownloadBadHeader;
  if (response.GetStatus() < 200 || response.GetStatus() > 299) return kDownloadBadStatus;
  if (coding) *coding = ContentCodingOf(response.GetHeader("Content-Encoding"));
  return kHttpOk;
}
