// The string cipher: AES-128 ECB of the PKCS#7-padded text, in Base64, behind a
// two-character check prefix. The key is derived from built-in constants on every call
// (TCipherConstants.h) and never kept.
#ifndef TESMO_UTIL_TSTRINGCIPHER_H
#define TESMO_UTIL_TSTRINGCIPHER_H

#include <string>

// "" for "" and for texts past 63 bytes; otherwise the check prefix and the Base64 text.
std::string EncryptString(const std::string& text);
// The plain text, trimmed of bytes 1-32 at both ends; "" for texts of up to two
// characters, a Base64 part past 95 characters, a failed check prefix or a decoded
// length that is not a whole number of blocks.
std::string DecryptString(const std::string& text);
// The two check characters of text (MD5 of the text and the check salt), then text.
std::string AddCheckPrefix(const std::string& text);

#endif
