// What a test server needs to speak the engine's enciphered texts: the string cipher
// and configuration strings, written here on their own (libcrypto only) so that the
// engine's code is checked against an independent peer. Constants are shared with the
// engine through its TCipherConstants.h.
#ifndef TESMO_FAKES_TESTCIPHERKIT_H
#define TESMO_FAKES_TESTCIPHERKIT_H

#include <string>

class TestCipherKit {
 public:
  // The string cipher: check prefix + Base64 of AES-128 ECB (PKCS#7) under the
  // derived key. Encrypt takes texts of any length; Decrypt gives "" for a bad text.
  static std::string Encrypt(const std::string& plain);
  static std::string Decrypt(const std::string& text);

  // The two check characters of a Base64 text.
  static std::string CheckPrefix(const std::string& base64);

  // Path of the public half of the engine's built-in configuration key (PEM).
  static std::string PublicKeyPath();
  // A configuration string of plain: RSA blocks of up to 117 plain bytes each under
  // the public key (PKCS#1 v1.5), in Base64, behind the SHA-256 digest in hex.
  // "" when the key cannot be read.
  static std::string BuildConfigString(const std::string& plain);
  // The raw RSA blocks of plain, for building damaged strings.
  static std::string EncryptConfigBlocks(const std::string& plain);
  // Digest in hex + Base64 of the given ciphertext bytes.
  static std::string WrapConfigCipher(const std::string& cipher);

  static std::string Base64(const std::string& bytes);
  static std::string Sha256Hex(const std::string& bytes);
  static std::string Md5Hex(const std::string& bytes);
};

#endif
