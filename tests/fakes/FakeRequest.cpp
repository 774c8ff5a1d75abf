#include "fakes/FakeRequest.h"

#include <strings.h>

#include <cctype>

namespace {

std::string TrimBlanks(const std::string& text) {
  size_t b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return std::string();
  size_t e = text.find_last_not_of(" \t");
  return text.substr(b, e - b + 1);
}

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string PercentDecode(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && Hex(text[i + 1]) >= 0 && Hex(text[i + 2]) >= 0) {
      out += static_cast<char>(Hex(text[i + 1]) * 16 + Hex(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::string FakeRequest::Header(const std::string& name) const {
  for (const auto& h : headers) {
    if (strcasecmp(h.first.c_str(), name.c_str()) == 0) return h.second;
  }
  return std::string();
}

bool FakeRequest::HasHeader(const std::string& name) const { return HeaderCount(name) > 0; }

int FakeRequest::HeaderCount(const std::string& name) const {
  int count = 0;
  for (const auto& h : headers) {
    if (strcasecmp(h.first.c_str(), name.c_str()) == 0) ++count;
  }
  return count;
}

std::string FakeRequest::Param(const std::string& name) const {
  size_t pos = 0;
  while (pos <= query.size()) {
    size_t amp = query.find('&', pos);
    std::string pair = query.substr(pos, amp == std::string::npos ? std::string::npos : amp - pos);
    size_t eq = pair.find('=');
    if (pair.substr(0, eq) == name) {
      return eq == std::string::npos ? std::string() : PercentDecode(pair.substr(eq + 1));
    }
    if (amp == std::string::npos) break;
    pos = amp + 1;
  }
  return std::string();
}

bool FakeRequest::ParseHead(const std::string& head) {
  size_t lineEnd = head.find("\r\n");
  if (lineEnd == std::string::npos) return false;
  requestLine = head.substr(0, lineEnd);
  size_t a = requestLine.find(' ');
  size_t b = requestLine.rfind(' ');
  if (a == std::string::npos || b == a) return false;
  method = requestLine.substr(0, a);
  target = requestLine.substr(a + 1, b - a - 1);
  version = requestLine.substr(b + 1);
  if (method.empty() || target.empty() || version.compare(0, 5, "HTTP/") != 0) return false;
  size_t q = target.find('?');
  path = target.substr(0, q);
  query = q == std::string::npos ? std::string() : target.substr(q + 1);
  headers.clear();
  size_t pos = lineEnd + 2;
  while (pos < head.size()) {
    size_t end = head.find("\r\n", pos);
    if (end == std::string::npos) end = head.size();
    std::string line = head.substr(pos, end - pos);
    pos = end + 2;
    if (line.empty()) break;
    size_t colon = line.find(':');
    if (colon == std::string::npos) return false;
    headers.emplace_back(TrimBlanks(line.substr(0, colon)), TrimBlanks(line.substr(colon + 1)));
  }
  return true;
}
