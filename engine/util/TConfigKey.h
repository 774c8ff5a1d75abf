// The library's built-in key for configuration strings.
#ifndef TESMO_UTIL_TCONFIGKEY_H
#define TESMO_UTIL_TCONFIGKEY_H

// A 1024-bit RSA private key as PKCS#8 DER in standard Base64, one line.
const char* BuiltInConfigKey();

#endif
