// Request URLs from server keys and account domains, and the client's own fields
// of request bodies.
#include <cstdlib>

#include "net/THttpRequestService.h"
#include "net/TNetContext.h"
#include "net/TServerKeys.h"
#include "util/TJsonText.h"

namespace {

constexpr int kHttpDefaultPort = 80;
constexpr int kHttpsDefaultPort = 443;

struct ServerAddress {
  std::string host;
  int port = 0;
};

// "host:port" or "host"; without a colon the port is left as it was.
void SplitServerEntry(const std::string& entry, ServerAddress* address) {
  size_t colon = entry.find(':');
  if (colon == std::string::npos) {
    address->host = entry;
    return;
  }
  address->host = entry.substr(0, colon);
  address->port = atoi(entry.c_str() + colon + 1);
}

bool HttpsOn(const TNetContext* core) { return core && core->IsHttps(); }

std::string Scheme(const TNetContext* core) { return HttpsOn(core) ? "https://" : "http://"; }

// The port is written only when it is not the scheme's own default (and known).
std::string ComposeUrl(const TNetContext* core, const ServerAddress& address,
                       const std::string& path) {
  const bool https = HttpsOn(core);
  std::string url = Scheme(core) + address.host;
  const int defaultPort = https ? kHttpsDefaultPort : kHttpDefaultPort;
  if (address.port > 0 && address.port != defaultPort) url += ":" + std::to_string(address.port);
  return url + path;
}

ServerAddress LoginServer(const TNetContext* core) {
  ServerAddress address;
  if (core) {
    address.host = core->GetLoginHost();
    address.port = core->GetLoginPort();
  }
  return address;
}

}  // namespace

std::string THttpRequestService::GetServerUrl(const std::string& path,
                                              const std::string& key) const {
  const TNetContext* core = TNetContext::Instance();
  ServerAddress address;
  if (key == kLoginServer) {
    address = LoginServer(core);
  } else {
    if (core) {
      address.host = core->GetHttpHost();
      address.port = core->GetHttpPort();
      std::string entry = core->GetServer(key);
      if (!entry.empty()) SplitServerEntry(entry, &address);
    }
    if (address.host.empty()) address = LoginServer(core);
  }
  return ComposeUrl(core, address, path);
}

std::string THttpRequestService::BuildUrl(const std::string& path, const std::string& extendedKey,
                                          const std::string& key) const {
  const TNetContext* core = TNetContext::Instance();
  size_t at = extendedKey.find('@');
  if (core && at != std::string::npos) {
    std::string entry = core->GetServer(extendedKey.substr(at + 1));
    if (!entry.empty()) {
      ServerAddress address;
      address.port = core->GetHttpPort();
      SplitServerEntry(entry, &address);
      // An entry without a host (":8080") names no server: use the fallback key.
      if (!address.host.empty()) return ComposeUrl(core, address, path);
    }
  }
  return GetServerUrl(path, key);
}

std::string THttpRequestService::GetDownloadUrl(const std::string& path) const {
  const TNetContext* core = TNetContext::Instance();
  std::string base = core ? core->GetDownServer() : std::string();
  if (base.compare(0, 4, "http") != 0) base = Scheme(core) + base;
  return base + path;
}

std::string AddClientFields() {
  const TNetContext* core = TNetContext::Instance();
  std::string name = core ? core->GetName() : std::string();
  int device = core ? core->GetDeviceType() : 0;
  int version = core ? core->GetVersion() : 0;
  return JsonTextStringField("name", name) + JsonTextIntField("device", device) +
         JsonTextIntField("fromver", version);
}

std::string ConcatStrings(const std::string& a, const std::string& b) { return a + b; }
