#include "util/TStringCipher.h"

#include <openssl/evp.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "util/TBase64.h"
#include "util/TCipherConstants.h"
#include "util/TDigest.h"
#include "util/TTextUtil.h"

namespace {

constexpr size_t kBlock = 16;

struct CipherCtxFree {
  void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};

void BuildKey(unsigned char key[kCipherKeyBytes]) {
  uint64_t state = kCipherKeySeed;
  for (int i = 0; i < kCipherKeyBytes; ++i) {
    state = state * kCipherKeyMultiplier + kCipherKeyIncrement;
    key[i] = static_cast<unsigned char>(state & 0xff);
  }
}

// AES-128 ECB over whole blocks, no padding; false when the library fails.
bool RunAes(bool encrypt, const std::string& in, std::string& out) {
  if (in.size() % kBlock != 0) return false;
  unsigned char key[kCipherKeyBytes];
  BuildKey(key);
  std::unique_ptr<EVP_CIPHER_CTX, CipherCtxFree> ctx(EVP_CIPHER_CTX_new());
  bool ok = ctx && EVP_CipherInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr, key, nullptr,
                                     encrypt ? 1 : 0) == 1;
  OPENSSL_cleanse(key, sizeof(key));
  if (!ok || EVP_CIPHER_CTX_set_padding(ctx.get(), 0) != 1) return false;
  out.assign(in.size() + kBlock, '\0');
  int n = 0, tail = 0;
  if (EVP_CipherUpdate(ctx.get(), reinterpret_cast<unsigned char*>(&out[0]), &n,
                       reinterpret_cast<const unsigned char*>(in.data()),
                       static_cast<int>(in.size())) != 1 ||
      EVP_CipherFinal_ex(ctx.get(), reinterpret_cast<unsigned char*>(&out[0]) + n, &tail) != 1) {
    return false;
  }
  out.resize(static_cast<size_t>(n + tail));
  return true;
}

}  // namespace

std::string AddCheckPrefix(const std::string& text) {
  return Md5Hex(text + kCipherCheckSalt).substr(0, 2) + text;
}

std::string EncryptString(const std::string& text) {
  if (text.empty() || text.size() > static_cast<size_t>(kCipherMaxPlain)) return std::string();
  const size_t pad = kBlock - text.size() % kBlock;
  std::string padded = text + std::string(pad, static_cast<char>(pad));
  std::string sealed;
  if (!RunAes(true, padded, sealed)) return std::string();
  return AddCheckPrefix(Base64Encode(sealed.data(), sealed.size()));
}

std::string DecryptString(const std::string& text) {
  if (text.size() <= 2) return std::string();
  const std::string body = text.substr(2);
  if (body.size() > static_cast<size_t>(kCipherMaxBase64)) return std::string();
  if (AddCheckPrefix(body) != text) return std::string();
  std::string sealed = Base64Decode(body);
  if (sealed.size() % kBlock != 0) return std::string();
  std::string plain;
  if (!RunAes(false, sealed, plain)) return std::string();
  // Up to the first zero byte, then trimmed: this drops the padding bytes (1-16).
  plain.resize(strnlen(plain.data(), plain.size()));
  return Trim(plain);
}
