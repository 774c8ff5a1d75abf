// Message digests of texts and bytes (libcrypto).
#ifndef TESMO_UTIL_TDIGEST_H
#define TESMO_UTIL_TDIGEST_H

#include <cstddef>
#include <string>

// The 32 lowercase hexadecimal digits of the MD5 digest of the bytes.
std::string Md5Hex(const std::string& bytes);
// The raw 32-byte SHA-256 digest of the bytes; "" when the library fails.
std::string Sha256(const void* data, size_t length);

#endif
