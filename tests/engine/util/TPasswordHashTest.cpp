#include <gtest/gtest.h>

#include "fakes/TestCipherKit.h"
#include "util/TPasswordHash.h"

namespace {

// The digest as a server computes it: every other hex digit, 0 -> A and 9 -> B.
std::string Expected(const std::string& text, const std::string& account, const char* salt) {
  std::string hex = TestCipherKit::Md5Hex(text + account + salt);
  std::string out;
  for (size_t i = 0; i < 32; i += 2) out += hex[i] == '0' ? 'A' : hex[i] == '9' ? 'B' : hex[i];
  return out;
}

TEST(TPasswordHashTest, SaltedDigestsByType) {
  const char* salts[] = {"83920174650392817465039281746502", "61048372950164738291056473829105",
                         "29374016583920475610293847561038", "75830291647382910564738291056473"};
  for (const char* text : {"", "secret", "p@ss word", "\xe5\xaf\x86\xe7\xa0\x81"}) {
    for (const char* account : {"", "alice@d1.test"}) {
      for (int type = 0; type < 4; ++type) {
        std::string digest = HashPassword(text, account, type);
        EXPECT_EQ(digest, Expected(text, account, salts[type])) << text << " " << type;
        EXPECT_EQ(digest.size(), 16u);
        EXPECT_EQ(digest.find_first_of("09"), std::string::npos);
      }
      EXPECT_NE(HashPassword(text, account, 0), HashPassword(text, account, 1));
    }
  }
  for (int type : {4, -1, 100}) EXPECT_EQ(HashPassword("secret", "a", type), "");
}

}  // namespace
