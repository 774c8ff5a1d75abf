#include "net/THttpMsg.h"

#include <strings.h>

int THttpMsg::HeaderHash(const std::string& name) {
  unsigned sum = 0;
  for (unsigned char c : name) sum += (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
  return static_cast<int>(sum);
}

const char* THttpMsg::GetHeader(const std::string& name) const {
  const int hash = HeaderHash(name);
  for (const Header& h : m_headers) {
    if (h.hash == hash && strcasecmp(h.name.c_str(), name.c_str()) == 0) return h.value.c_str();
  }
  return nullptr;
}

void THttpMsg::Clear() {
  m_headers.clear();
  m_body.clear();
  m_bodyLength = -1;
}

void THttpMsg::AddHeader(const std::string& name, const std::string& value) {
  m_headers.push_back(Header{HeaderHash(name), name, value});
}

void THttpMsg::SetBody(const char* data, size_t length) {
  m_body.assign(data, length);
  m_bodyLength = static_cast<int>(length);
}
