#include "db/SqlText.h"

#include <cstring>
#include <limits>

std::string SqlEscapeQuotes(const std::string& text) { return SqlEscapeQuotes(text.c_str()); }

std::string SqlEscapeQuotes(const char* text) {
  std::string out;
  if (!text) return out;
  size_t len = strlen(text);
  out.reserve(len + 8);
  for (size_t i = 0; i < len; ++i) {
    out.push_back(text[i]);
    if (text[i] == '\'') out.push_back('\'');
  }
  return out;
}

std::string SqlQuoted(const std::string& text) { return "'" + SqlEscapeQuotes(text) + "'"; }

long long SqlLeadingNumber(const std::string& text) { return SqlLeadingNumber(text.c_str()); }

long long SqlLeadingNumber(const char* text) {
  if (!text) return 0;
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  unsigned long long value = 0;
  const unsigned long long limit =
      negative ? static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + 1
               : static_cast<unsigned long long>(std::numeric_limits<long long>::max());
  for (; *p >= '0' && *p <= '9'; ++p) {
    unsigned digit = static_cast<unsigned>(*p - '0');
    if (value > (limit - digit) / 10) {
      value = limit;  // clamped
      break;
    }
    value = value * 10 + digit;
  }
  if (!negative) return static_cast<long long>(value);
  if (value == limit) return std::numeric_limits<long long>::min();
  return -static_cast<long long>(value);
}

bool SqlIsDecimalId(const std::string& text) {
  constexpr size_t kMaxDigits = 19;  // every such number fits a 64-bit integer column
  if (text.empty() || text.size() > kMaxDigits) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}
