#include <gtest/gtest.h>

#include "fakes/TestCipherKit.h"
#include "util/TBase64.h"
#include "util/TStringCipher.h"

namespace {

std::string Sample(size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += static_cast<char>('a' + (i * 7) % 26);
  return s;
}

TEST(TStringCipherTest, RoundTripsAtBlockEdges) {
  struct Row {
    size_t length;
    size_t encoded;  // check prefix + Base64 characters
  } rows[] = {{1, 2 + 24},  {15, 2 + 24}, {16, 2 + 44}, {17, 2 + 44},
              {31, 2 + 44}, {32, 2 + 64}, {48, 2 + 88}, {63, 2 + 88}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.length);
    std::string plain = Sample(r.length);
    std::string sealed = EncryptString(plain);
    EXPECT_EQ(sealed.size(), r.encoded);
    EXPECT_EQ(DecryptString(sealed), plain);
    // An independent peer with the shared constants agrees both ways.
    EXPECT_EQ(sealed, TestCipherKit::Encrypt(plain));
    EXPECT_EQ(TestCipherKit::Decrypt(sealed), plain);
  }
  EXPECT_EQ(EncryptString(""), "");
  EXPECT_EQ(DecryptString(""), "");
  // UTF-8 and bytes past 127 survive; blanks and control bytes at the ends do not.
  EXPECT_EQ(DecryptString(EncryptString("\xe4\xbd\xa0\xe5\xa5\xbd")), "\xe4\xbd\xa0\xe5\xa5\xbd");
  EXPECT_EQ(DecryptString(EncryptString(" a b\t\n")), "a b");
  // A peer's text that holds a zero byte ends there.
  EXPECT_EQ(DecryptString(TestCipherKit::Encrypt(std::string("ab\0cd", 5))), "ab");
}

TEST(TStringCipherTest, RejectsDamagedAndOversizedTexts) {
  std::string sealed = EncryptString("secret-token");
  ASSERT_FALSE(sealed.empty());
  std::string first = sealed, body = sealed, prefix = sealed;
  first[0] = first[0] == 'a' ? 'b' : 'a';
  body[5] = body[5] == 'A' ? 'B' : 'A';
  prefix[1] = prefix[1] == '0' ? '1' : '0';
  for (const std::string& bad : {first, body, prefix, sealed.substr(0, 2), sealed.substr(0, 1),
                                 sealed.substr(0, sealed.size() - 1)}) {
    EXPECT_EQ(DecryptString(bad), "") << bad;
  }
  // Past the limits: 64 plain bytes, a Base64 part of 96 characters (prefix valid).
  EXPECT_EQ(EncryptString(Sample(64)), "");
  EXPECT_EQ(EncryptString(Sample(5000)), "");
  std::string long64 = TestCipherKit::Encrypt(Sample(64));  // 5 blocks: 108 characters
  EXPECT_EQ(DecryptString(long64), "");
  EXPECT_EQ(DecryptString(AddCheckPrefix(std::string(96, 'A'))), "");
  EXPECT_EQ(DecryptString(AddCheckPrefix(std::string(4000, 'A'))), "");
  // A valid prefix over Base64 that does not give whole blocks, or is not Base64.
  std::string fifteen(15, 'x');
  EXPECT_EQ(DecryptString(AddCheckPrefix(Base64Encode(fifteen.data(), fifteen.size()))), "");
  EXPECT_EQ(DecryptString(AddCheckPrefix("!!!")), "");
  DecryptString(AddCheckPrefix(std::string(88, '\xff')));  // garbage decodes, no fault
}

TEST(TStringCipherTest, CheckPrefixIsDigestOfTextAndSalt) {
  for (const char* text : {"", "abc", "QUJD"}) {
    std::string withPrefix = AddCheckPrefix(text);
    EXPECT_EQ(withPrefix.substr(2), text);
    EXPECT_EQ(
        withPrefix.substr(0, 2),
        TestCipherKit::Md5Hex(std::string(text) + "47018263950417728361059283746150").substr(0, 2));
  }
}

}  // namespace
