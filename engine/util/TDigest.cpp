#include "util/TDigest.h"

#include <openssl/evp.h>

namespace {

std::string Digest(const EVP_MD* md, const void* data, size_t length) {
  unsigned char out[EVP_MAX_MD_SIZE];
  unsigned int n = 0;
  if (!md || EVP_Digest(data, length, out, &n, md, nullptr) != 1) return std::string();
  return std::string(reinterpret_cast<char*>(out), n);
}

}  // namespace

std::string Md5Hex(const std::string& bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string raw = Digest(EVP_md5(), bytes.data(), bytes.size());
  std::string hex;
  hex.reserve(32);
  for (unsigned char c : raw) {
    hex += kHex[c >> 4];
    hex += kHex[c & 15];
  }
  return hex;
}

std::string Sha256(const void* data, size_t length) { return Digest(EVP_sha256(), data, length); }
