#include "fakes/TestCipherKit.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <cstdio>
#include <memory>

#include "../../engine/util/TCipherConstants.h"

namespace {

constexpr size_t kRsaChunk = 117;  // 128-byte block less 11 bytes of PKCS#1 v1.5 padding

std::string Hex(const unsigned char* p, size_t n) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    out += kDigits[p[i] >> 4];
    out += kDigits[p[i] & 15];
  }
  return out;
}

std::string DigestHex(const EVP_MD* md, const std::string& bytes) {
  unsigned char out[EVP_MAX_MD_SIZE];
  unsigned n = 0;
  EVP_Digest(bytes.data(), bytes.size(), out, &n, md, nullptr);
  return Hex(out, n);
}

void Key(unsigned char key[16]) {
  uint64_t s = kCipherKeySeed;
  for (int i = 0; i < 16; ++i) {
    s = s * kCipherKeyMultiplier + kCipherKeyIncrement;
    key[i] = static_cast<unsigned char>(s);
  }
}

// AES-128 ECB with the library's own PKCS#7 padding; "" on failure.
std::string Aes(bool encrypt, const std::string& in) {
  unsigned char key[16];
  Key(key);
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  std::string out(in.size() + 32, '\0');
  int n = 0, tail = 0;
  bool ok = EVP_CipherInit_ex(ctx, EVP_aes_128_ecb(), nullptr, key, nullptr, encrypt) == 1 &&
            EVP_CipherUpdate(ctx, reinterpret_cast<unsigned char*>(&out[0]), &n,
                             reinterpret_cast<const unsigned char*>(in.data()),
                             static_cast<int>(in.size())) == 1 &&
            EVP_CipherFinal_ex(ctx, reinterpret_cast<unsigned char*>(&out[0]) + n, &tail) == 1;
  EVP_CIPHER_CTX_free(ctx);
  if (!ok) return std::string();
  out.resize(static_cast<size_t>(n + tail));
  return out;
}

std::string Unbase64(const std::string& text) {
  if (text.size() % 4 != 0) return std::string();
  std::string out(text.size() / 4 * 3 + 1, '\0');
  int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(&out[0]),
                          reinterpret_cast<const unsigned char*>(text.data()),
                          static_cast<int>(text.size()));
  if (n < 0) return std::string();
  size_t len = static_cast<size_t>(n);
  for (size_t i = text.size(); i > 0 && text[i - 1] == '=' && len > 0; --i) --len;
  out.resize(len);
  return out;
}

}  // namespace

std::string TestCipherKit::Base64(const std::string& bytes) {
  std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(&out[0]),
                          reinterpret_cast<const unsigned char*>(bytes.data()),
                          static_cast<int>(bytes.size()));
  out.resize(static_cast<size_t>(n));
  return out;
}

std::string TestCipherKit::Sha256Hex(const std::string& bytes) {
  return DigestHex(EVP_sha256(), bytes);
}

std::string TestCipherKit::Md5Hex(const std::string& bytes) { return DigestHex(EVP_md5(), bytes); }

std::string TestCipherKit::CheckPrefix(const std::string& base64) {
  return Md5Hex(base64 + kCipherCheckSalt).substr(0, 2);
}

std::string TestCipherKit::Encrypt(const std::string& plain) {
  if (plain.empty()) return std::string();
  std::string b64 = Base64(Aes(true, plain));
  return CheckPrefix(b64) + b64;
}

std::string TestCipherKit::Decrypt(const std::string& text) {
  if (text.size() <= 2) return std::string();
  std::string b64 = text.substr(2);
  if (CheckPrefix(b64) != text.substr(0, 2)) return std::string();
  return Aes(false, Unbase64(b64));
}

std::string TestCipherKit::PublicKeyPath() {
  return std::string(TESMO_TEST_DATA_DIR) + "/appcfg_public.pem";
}

std::string TestCipherKit::EncryptConfigBlocks(const std::string& plain) {
  FILE* f = fopen(PublicKeyPath().c_str(), "r");
  if (!f) return std::string();
  EVP_PKEY* key = PEM_read_PUBKEY(f, nullptr, nullptr, nullptr);
  fclose(f);
  if (!key) return std::string();
  std::string out;
  EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new(key, nullptr);
  bool ok = ctx && EVP_PKEY_encrypt_init(ctx) == 1 &&
            EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_PADDING) == 1;
  for (size_t off = 0; ok && off < plain.size(); off += kRsaChunk) {
    std::string chunk = plain.substr(off, kRsaChunk);
    unsigned char block[512];
    size_t n = sizeof(block);
    ok = EVP_PKEY_encrypt(ctx, block, &n, reinterpret_cast<const unsigned char*>(chunk.data()),
                          chunk.size()) == 1;
    if (ok) out.append(reinterpret_cast<char*>(block), n);
  }
  EVP_PKEY_CTX_free(ctx);
  EVP_PKEY_free(key);
  return ok ? out : std::string();
}

std::string TestCipherKit::WrapConfigCipher(const std::string& cipher) {
  std::string b64 = Base64(cipher);
  return Sha256Hex(b64) + b64;
}

std::string TestCipherKit::BuildConfigString(const std::string& plain) {
  std::string cipher = EncryptConfigBlocks(plain);
  return cipher.empty() ? std::string() : WrapConfigCipher(cipher);
}
