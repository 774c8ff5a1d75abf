#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "util/TBase64.h"

namespace {

TEST(TBase64Test, Rfc4648Vectors) {
  struct Row {
    const char* plain;
    const char* encoded;
  } rows[] = {{"", ""},
              {"f", "Zg=="},
              {"fo", "Zm8="},
              {"foo", "Zm9v"},
              {"foob", "Zm9vYg=="},
              {"fooba", "Zm9vYmE="},
              {"foobar", "Zm9vYmFy"}};
  for (const Row& r : rows) {
    std::string plain = r.plain;
    EXPECT_EQ(Base64Encode(plain.data(), plain.size()), r.encoded);
    EXPECT_EQ(Base64Decode(std::string(r.encoded)), plain);
  }
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  std::string encoded = Base64Encode(bytes.data(), bytes.size());
  EXPECT_EQ(encoded.find('\n'), std::string::npos);
  EXPECT_EQ(Base64Decode(encoded), bytes);  // zero bytes included
  EXPECT_EQ(Base64Encode("\xfb\xff", 2), "+/8=");
}

TEST(TBase64Test, DecodeStaysInsideItsInput) {
  // Exactly sized heap copies without a terminator: ASan catches any read past them.
  for (std::string text :
       {"Zm9v", "Zm9vY", "Zm9vYg", "Zm9vYg=", "=", "==", "====", "Z", "@@@@", "Zm\x01\xff"}) {
    SCOPED_TRACE(text);
    std::unique_ptr<char[]> copy(new char[text.size()]);
    std::copy(text.begin(), text.end(), copy.get());
    std::string out = Base64Decode(copy.get(), text.size());
    EXPECT_LE(out.size(), text.size() / 4 * 3);
  }
  EXPECT_EQ(Base64Decode("Zm9vYg", 6), "foo");  // a partial group is not decoded
  EXPECT_EQ(Base64Decode("====", 4), std::string(1, '\0'));
  EXPECT_EQ(Base64Decode(nullptr, 8), "");
}

}  // namespace
