#include "util/TPasswordHash.h"

#include "util/TCipherConstants.h"
#include "util/TDigest.h"

std::string HashPassword(const std::string& text, const std::string& account, int type) {
  if (type < 0 || type > 3) return std::string();
  const std::string hex = Md5Hex(text + account + kPasswordSalts[type]);
  std::string out;
  out.reserve(16);
  for (size_t i = 0; i < hex.size(); i += 2) {
    char c = hex[i];
    out += c == '0' ? 'A' : c == '9' ? 'B' : c;
  }
  return out;
}
