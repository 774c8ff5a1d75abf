// Standard Base64 (RFC 4648 alphabet, "=" padding, no line breaks).
#ifndef TESMO_UTIL_TBASE64_H
#define TESMO_UTIL_TBASE64_H

#include <cstddef>
#include <string>

std::string Base64Encode(const void* data, size_t length);
// Decodes whole groups of four characters of text[0, length); characters outside the
// alphabet count as zero bits, and one byte is dropped for each "=" that ends the
// last group. Never reads past length; the result may hold zero bytes.
std::string Base64Decode(const char* text, size_t length);
inline std::string Base64Decode(const std::string& text) {
  return Base64Decode(text.data(), text.size());
}

#endif
