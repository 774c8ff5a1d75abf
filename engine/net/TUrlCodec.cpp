#include "net/TUrlCodec.h"

#include <arpa/inet.h>
#include <strings.h>

#include <cctype>
#include <cstring>

namespace {

constexpr char kKeptPunctuation[] = "#()*,-./:;=?@_~";
constexpr int kMaxPort = 65535;

bool IsKept(unsigned char c) {
  if (std::isalnum(c) && c < 128) return true;
  return c != 0 && std::strchr(kKeptPunctuation, c) != nullptr;
}

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool HasLineBreakOrNul(const std::string& text) {
  return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  return strncasecmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}

// Position of the authority ("//" already skipped), or npos when the URL has no
// http, https or scheme-relative form.
size_t AuthorityStart(const std::string& url) {
  if (url.compare(0, 2, "//") == 0) return 2;
  if (StartsWithNoCase(url, "http://")) return 7;
  if (StartsWithNoCase(url, "https://")) return 8;
  return std::string::npos;
}

bool ParsePort(const std::string& text, int& port) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > kMaxPort) return false;
  port = value;
  return true;
}

}  // namespace

std::string UrlEncode(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size() * 3);
  for (unsigned char c : text) {
    if (IsKept(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0f];
    }
  }
  return out;
}

std::string UrlDecode(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int hi = HexValue(static_cast<unsigned char>(text[i + 1]));
      int lo = HexValue(static_cast<unsigned char>(text[i + 2]));
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::string GetUrlParam(const std::string& url, const std::string& name) {
  size_t pos = url.find("?" + name + "=");
  if (pos == std::string::npos) pos = url.find("&" + name + "=");
  if (pos == std::string::npos) return std::string();
  size_t start = pos + name.size() + 2;
  size_t end = url.find('&', start);
  if (end == std::string::npos) return url.substr(start);
  return UrlDecode(url.substr(start, end - start));
}

bool IsHttpsUrl(const std::string& url) { return StartsWithNoCase(url, "https://"); }

std::string SplitUrl(const std::string& url, std::string& host, int& port) {
  if (HasLineBreakOrNul(url)) return std::string();
  size_t start = AuthorityStart(url);
  if (start == std::string::npos) return std::string();
  size_t end = url.find_first_of("/?#", start);
  std::string authority = url.substr(start, end == std::string::npos ? end : end - start);
  std::string path = end == std::string::npos ? std::string("/") : url.substr(end);
  size_t fragment = path.find('#');
  if (fragment != std::string::npos) path.erase(fragment);
  if (path.empty() || path[0] != '/') path.insert(0, "/");

  size_t at = authority.rfind('@');
  if (at != std::string::npos) authority.erase(0, at + 1);
  std::string newHost;
  int newPort = IsHttpsUrl(url) ? 443 : 80;
  if (!authority.empty() && authority[0] == '[') {
    size_t close = authority.find(']');
    if (close == std::string::npos) return std::string();
    newHost = authority.substr(1, close - 1);
    std::string rest = authority.substr(close + 1);
    if (!rest.empty() && (rest[0] != ':' || !ParsePort(rest.substr(1), newPort))) {
      return std::string();
    }
  } else {
    size_t colon = authority.find(':');
    newHost = authority.substr(0, colon);
    if (colon != std::string::npos && !ParsePort(authority.substr(colon + 1), newPort)) {
      return std::string();
    }
  }
  if (newHost.empty()) return std::string();
  host = newHost;
  port = newPort;
  return path;
}

bool IsLoopbackHost(const std::string& host) {
  std::string h = host;
  if (h.size() >= 2 && h.front() == '[' && h.back() == ']') h = h.substr(1, h.size() - 2);
  if (strcasecmp(h.c_str(), "localhost") == 0 || strcasecmp(h.c_str(), "localhost.") == 0) {
    return true;
  }
  in_addr v4{};
  if (inet_pton(AF_INET, h.c_str(), &v4) == 1) {
    return (ntohl(v4.s_addr) >> 24) == 127;
  }
  in6_addr v6{};
  if (inet_pton(AF_INET6, h.c_str(), &v6) == 1) return IN6_IS_ADDR_LOOPBACK(&v6);
  return false;
}
