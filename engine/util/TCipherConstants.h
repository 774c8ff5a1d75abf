// Constants shared by the engine and every peer that exchanges enciphered texts or
// digests with it (the test servers include this header too, so it stays
// self-contained: standard headers only).
#ifndef TESMO_UTIL_TCIPHERCONSTANTS_H
#define TESMO_UTIL_TCIPHERCONSTANTS_H

#include <cstdint>

// Key generator of the string cipher: the 16 key bytes are the low bytes of successive
// states of state = state * multiplier + increment (mod 2^64), starting at the seed.
constexpr uint64_t kCipherKeySeed = 0x5A17C3E94B2D0F86ULL;
constexpr uint64_t kCipherKeyMultiplier = 6364136223846793005ULL;
constexpr uint64_t kCipherKeyIncrement = 1442695040888963407ULL;
constexpr int kCipherKeyBytes = 16;

// Salt of the string cipher's two-character check prefix.
constexpr char kCipherCheckSalt[] = "47018263950417728361059283746150";

// Salts of the password digest by type; type 0 also salts transaction ids.
constexpr const char* kPasswordSalts[4] = {
    "83920174650392817465039281746502",
    "61048372950164738291056473829105",
    "29374016583920475610293847561038",
    "75830291647382910564738291056473",
};
constexpr const char* kTransIdSalt = kPasswordSalts[0];

// Limits of the string cipher: plain texts up to four AES blocks less the padding
// byte; Base64 parts up to 95 characters.
constexpr int kCipherMaxPlain = 63;
constexpr int kCipherMaxBase64 = 95;

#endif
