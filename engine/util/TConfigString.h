// Configuration strings: 64 hexadecimal characters of the SHA-256 digest of the rest,
// then the Base64 form of one or more 128-byte RSA blocks (PKCS#1 v1.5 padding).
#ifndef TESMO_UTIL_TCONFIGSTRING_H
#define TESMO_UTIL_TCONFIGSTRING_H

#include <string>

enum TConfigStringResult {
  kConfigOk = 0,
  kConfigBadInput = -1,  // no digest, a digest that is not hexadecimal, no memory
  kConfigBadKey = -2,    // the key does not load, or the ciphertext is not whole blocks
  kConfigBadDigest = -3,
  kConfigBadBlock = -4,
};

// Decrypts a configuration string with a Base64 PKCS#8 (or PKCS#1) DER private key.
// plain receives the decrypted text (cut at a zero byte) on success, "" otherwise.
int DecryptConfigString(const std::string& keyText, const std::string& config, std::string& plain);

#endif
