#include <gtest/gtest.h>

#include <cctype>
#include <set>

#include "util/TDigest.h"
#include "util/TTransId.h"

namespace {

std::string Hex(const std::string& raw) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : raw) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

TEST(TDigestTest, Md5KnownVectors) {
  // RFC 1321, appendix A.5.
  struct Row {
    const char* text;
    const char* digest;
  } rows[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const Row& r : rows) EXPECT_EQ(Md5Hex(r.text), r.digest) << r.text;
  // Bytes after a zero byte count too.
  EXPECT_NE(Md5Hex(std::string("a\0b", 3)), Md5Hex("a"));
}

TEST(TDigestTest, Sha256KnownVectors) {
  EXPECT_EQ(Hex(Sha256("", 0)), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Hex(Sha256("abc", 3)),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(TTransIdTest, ShapesOfIds) {
  for (int len : {0, 1, 9, 10, 32, 100}) {
    std::string d = RandomDigits(len);
    EXPECT_EQ(d.size(), static_cast<size_t>(len));
    for (char c : d) EXPECT_TRUE(isdigit(static_cast<unsigned char>(c)));
  }
  EXPECT_EQ(RandomDigits(-1), "");

  std::set<std::string> seen;
  for (int i = 0; i < 50; ++i) {
    std::string id = MakeTransId("");
    ASSERT_EQ(id.size(), 34u);
    for (size_t k = 0; k < 2; ++k) EXPECT_TRUE(isxdigit(id[k]) && !isupper(id[k]));
    for (size_t k = 2; k < 34; ++k) EXPECT_TRUE(isdigit(static_cast<unsigned char>(id[k])));
    // The check characters are those of the digest of the digits and the salt.
    EXPECT_EQ(id.substr(0, 2),
              Md5Hex(id.substr(2) + "83920174650392817465039281746502").substr(0, 2));
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 50u);
  std::string abc = MakeTransId("abc");
  EXPECT_EQ(abc, Md5Hex("abc83920174650392817465039281746502").substr(0, 2) + "abc");
}

}  // namespace
