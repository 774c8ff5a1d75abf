#include <gtest/gtest.h>

#include "fakes/TestCipherKit.h"
#include "util/TConfigKey.h"
#include "util/TConfigString.h"

namespace {

int Decrypt(const std::string& config, std::string* plain = nullptr) {
  std::string out = "stale";
  int result = DecryptConfigString(BuiltInConfigKey(), config, out);
  if (result != kConfigOk) {
    EXPECT_EQ(out, "");
  }
  if (plain) *plain = out;
  return result;
}

std::string Text(size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += static_cast<char>('A' + i % 26);
  return s;
}

TEST(TConfigStringTest, DecryptsOneTwoAndThreeBlocks) {
  // 117 plain bytes fill one block, so these give one, two and three blocks; Base64
  // pads the first and third with "=" and "==", which must not cost a block.
  for (size_t n : {1u, 30u, 117u, 118u, 200u, 234u, 300u, 351u}) {
    SCOPED_TRACE(n);
    std::string plain = "{\"server\":\"127.0.0.1:8080\",\"k\":\"" + Text(n) + "\"}";
    plain.resize(n);
    std::string config = TestCipherKit::BuildConfigString(plain);
    ASSERT_FALSE(config.empty()) << "public key not found at " << TestCipherKit::PublicKeyPath();
    std::string got;
    ASSERT_EQ(Decrypt(config, &got), kConfigOk);
    EXPECT_EQ(got, plain);
  }
  // An uppercase digest is as good as a lowercase one.
  std::string config = TestCipherKit::BuildConfigString("upper");
  for (size_t i = 0; i < 64; ++i) config[i] = static_cast<char>(toupper(config[i]));
  EXPECT_EQ(Decrypt(config), kConfigOk);
}

TEST(TConfigStringTest, ReportsEachFailure) {
  std::string good = TestCipherKit::BuildConfigString("value");
  ASSERT_EQ(Decrypt(good), kConfigOk);

  std::string badDigest = good;
  badDigest[63] = badDigest[63] == '0' ? '1' : '0';
  std::string badPayload = good;
  badPayload[70] = badPayload[70] == 'A' ? 'B' : 'A';
  std::string notHex = good;
  notHex[10] = 'g';
  std::string cipher = TestCipherKit::EncryptConfigBlocks("value");
  ASSERT_EQ(cipher.size(), 128u);
  std::string corrupt = cipher;
  corrupt[5] ^= 0x5a;
  struct Row {
    const char* name;
    std::string config;
    int result;
  } rows[] = {
      {"empty", "", kConfigBadInput},
      {"short", good.substr(0, 63), kConfigBadInput},
      {"not hex", notHex, kConfigBadInput},
      {"digest", badDigest, kConfigBadDigest},
      {"payload", badPayload, kConfigBadDigest},
      {"200 bytes", TestCipherKit::WrapConfigCipher(cipher + std::string(72, 'x')), kConfigBadKey},
      {"corrupt block", TestCipherKit::WrapConfigCipher(corrupt), kConfigBadBlock},
      {"second block corrupt", TestCipherKit::WrapConfigCipher(cipher + corrupt), kConfigBadBlock},
      {"digest only", TestCipherKit::Sha256Hex(""), kConfigOk},
  };
  for (const Row& r : rows) EXPECT_EQ(Decrypt(r.config), r.result) << r.name;

  std::string out;
  EXPECT_EQ(DecryptConfigString("bm90IGEga2V5", good, out), kConfigBadKey);
  EXPECT_EQ(DecryptConfigString("", good, out), kConfigBadKey);
}

TEST(TConfigStringTest, DigestsWithZeroBytes) {
  // A zero byte first or inside the digest must neither shift the comparison nor end
  // it early: find strings with such digests (encryption is randomised, so retry).
  bool leading = false, inner = false;
  for (int attempt = 0; attempt < 20000 && !(leading && inner); ++attempt) {
    std::string config = TestCipherKit::BuildConfigString("zero-digest");
    ASSERT_FALSE(config.empty());
    size_t zero = std::string::npos;
    for (size_t i = 0; i + 2 <= 60; i += 2) {
      if (config.compare(i, 2, "00") == 0) {
        zero = i;
        break;
      }
    }
    if (zero == std::string::npos || (zero == 0 ? leading : inner)) continue;
    std::string plain;
    ASSERT_EQ(Decrypt(config, &plain), kConfigOk) << config.substr(0, 64);
    EXPECT_EQ(plain, "zero-digest");
    // A change after the zero byte is still caught.
    std::string tampered = config;
    tampered[62] = tampered[62] == '7' ? '8' : '7';
    EXPECT_EQ(Decrypt(tampered), kConfigBadDigest);
    (zero == 0 ? leading : inner) = true;
  }
  EXPECT_TRUE(leading);
  EXPECT_TRUE(inner);
}

}  // namespace
