#include "util/TBase64.h"

#include <openssl/evp.h>

#include <array>

namespace {

std::array<unsigned char, 256> MakeTable() {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 26; ++i) {
    t['A' + i] = static_cast<unsigned char>(i);
    t['a' + i] = static_cast<unsigned char>(26 + i);
  }
  for (int i = 0; i < 10; ++i) t['0' + i] = static_cast<unsigned char>(52 + i);
  t['+'] = 62;
  t['/'] = 63;
  return t;
}

}  // namespace

std::string Base64Encode(const void* data, size_t length) {
  if (!data || length == 0) return std::string();
  std::string out(4 * ((length + 2) / 3) + 1, '\0');
  int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(&out[0]),
                          static_cast<const unsigned char*>(data), static_cast<int>(length));
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

std::string Base64Decode(const char* text, size_t length) {
  static const std::array<unsigned char, 256> kTable = MakeTable();
  if (!text) return std::string();
  const size_t whole = length / 4 * 4;
  std::string out;
  out.reserve(whole / 4 * 3);
  for (size_t i = 0; i < whole; i += 4) {
    unsigned v = 0;
    for (size_t k = 0; k < 4; ++k) v = (v << 6) | kTable[static_cast<unsigned char>(text[i + k])];
    out += static_cast<char>(v >> 16);
    out += static_cast<char>((v >> 8) & 0xff);
    out += static_cast<char>(v & 0xff);
  }
  if (whole >= 4 && text[whole - 1] == '=') {
    out.pop_back();
    if (text[whole - 2] == '=') out.pop_back();
  }
  return out;
}
