#include "util/TConfigString.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <cstring>
#include <memory>

#include "util/TBase64.h"
#include "util/TDigest.h"
#include "util/TTextCodec.h"

namespace {

constexpr size_t kDigestHex = 64;
constexpr size_t kDigestBytes = 32;
constexpr int kBlockBytes = 128;

struct PkeyFree {
  void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
struct PkeyCtxFree {
  void operator()(EVP_PKEY_CTX* c) const { EVP_PKEY_CTX_free(c); }
};

// Exactly 32 bytes from 64 hexadecimal characters, leading and inner zero bytes kept.
bool HexToDigest(const char* hex, unsigned char out[kDigestBytes]) {
  for (size_t i = 0; i < kDigestBytes; ++i) {
    int hi = HexDigitValue(hex[2 * i]), lo = HexDigitValue(hex[2 * i + 1]);
    if (hi < 0 || lo < 0) return false;
    out[i] = static_cast<unsigned char>(hi * 16 + lo);
  }
  return true;
}

std::unique_ptr<EVP_PKEY, PkeyFree> LoadKey(const std::string& keyText) {
  std::string der = Base64Decode(keyText);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(der.data());
  EVP_PKEY* key = d2i_AutoPrivateKey(nullptr, &p, static_cast<long>(der.size()));
  return std::unique_ptr<EVP_PKEY, PkeyFree>(key);
}

}  // namespace

int DecryptConfigString(const std::string& keyText, const std::string& config, std::string& plain) {
  plain.clear();
  if (config.size() < kDigestHex) return kConfigBadInput;
  unsigned char expected[kDigestBytes];
  if (!HexToDigest(config.data(), expected)) return kConfigBadInput;
  const char* payload = config.data() + kDigestHex;
  const size_t payloadLength = config.size() - kDigestHex;
  const std::string actual = Sha256(payload, payloadLength);
  if (actual.size() != kDigestBytes) return kConfigBadInput;
  if (memcmp(actual.data(), expected, kDigestBytes) != 0) return kConfigBadDigest;

  std::unique_ptr<EVP_PKEY, PkeyFree> key = LoadKey(keyText);
  if (!key || EVP_PKEY_get_base_id(key.get()) != EVP_PKEY_RSA ||
      EVP_PKEY_get_size(key.get()) != kBlockBytes) {
    return kConfigBadKey;
  }
  const std::string cipher = Base64Decode(payload, payloadLength);
  if (cipher.size() % kBlockBytes != 0) return kConfigBadKey;

  std::unique_ptr<EVP_PKEY_CTX, PkeyCtxFree> ctx(EVP_PKEY_CTX_new(key.get(), nullptr));
  if (!ctx || EVP_PKEY_decrypt_init(ctx.get()) != 1 ||
      EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) != 1) {
    return kConfigBadKey;
  }
#ifdef OSSL_ASYM_CIPHER_PARAM_IMPLICIT_REJECTION
  // A corrupt block must fail, not decrypt to random bytes.
  unsigned int implicit = 0;
  OSSL_PARAM params[] = {
      OSSL_PARAM_construct_uint(OSSL_ASYM_CIPHER_PARAM_IMPLICIT_REJECTION, &implicit),
      OSSL_PARAM_construct_end()};
  EVP_PKEY_CTX_set_params(ctx.get(), params);
#endif
  std::string out;
  unsigned char block[kBlockBytes];
  for (size_t off = 0; off < cipher.size(); off += kBlockBytes) {
    size_t n = sizeof(block);
    if (EVP_PKEY_decrypt(ctx.get(), block, &n,
                         reinterpret_cast<const unsigned char*>(cipher.data()) + off,
                         kBlockBytes) != 1) {
      OPENSSL_cleanse(&out[0], out.size());
      return kConfigBadBlock;
    }
    out.append(reinterpret_cast<char*>(block), n);
  }
  OPENSSL_cleanse(block, sizeof(block));
  out.resize(strnlen(out.c_str(), out.size()));
  plain.swap(out);
  return kConfigOk;
}
