#include "util/TTextUtil.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {
bool IsTrimmed(unsigned char c) { return c >= 1 && c <= 32; }
}  // namespace

void SplitString(const std::string& text, char separator, std::vector<std::string>& out) {
  size_t start = 0;
  while (start < text.size()) {
    size_t pos = text.find(separator, start);
    if (pos == std::string::npos) {
      out.push_back(text.substr(start));
      return;
    }
    out.push_back(text.substr(start, pos - start));
    start = pos + 1;
  }
}

std::string Trim(const std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && IsTrimmed(static_cast<unsigned char>(text[b]))) ++b;
  while (e > b && IsTrimmed(static_cast<unsigned char>(text[e - 1]))) --e;
  return text.substr(b, e - b);
}

void TrimInPlace(char* text) {
  if (!text || !*text) return;
  std::string t = Trim(text);
  memcpy(text, t.c_str(), t.size() + 1);
}

std::string IntToString(int value) { return std::to_string(value); }

std::string IntToText(int value) { return std::to_string(value); }

int SplitHostPort(const std::string& text, std::string& host, int& port) {
  size_t colon = text.find(':');
  if (colon == std::string::npos) {
    host = text;
    port = 0;
    return 0;
  }
  host = text.substr(0, colon);
  // atoi semantics, without its undefined overflow.
  long long n = strtoll(text.c_str() + colon + 1, nullptr, 10);
  port = n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : static_cast<int>(n);
  return 1;
}
