#include <gtest/gtest.h>

#include <random>

#include "util/TTextCodec.h"

namespace {

TEST(TTextCodecTest, EscapeEmojiTable) {
  const std::string smile = "\xf0\x9f\x98\x80";
  struct Row {
    std::string plain, escaped;
  } rows[] = {
      {"", ""},
      {"plain text", "plain text"},
      {"100%", "100%25"},
      {"a" + smile + "b%", "a%f0%9f%98%80b%25"},
      {"\xe4\xbd\xa0\xc3\xa9", "\xe4\xbd\xa0\xc3\xa9"},  // 2- and 3-byte characters stay
      // A tag character keeps its own lead byte instead of turning into another one.
      {"\xf3\xa0\x81\xa7", "%f3%a0%81%a7"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(EscapeEmoji(r.plain), r.escaped) << r.plain;
    EXPECT_EQ(UnescapeEmoji(r.escaped), r.plain) << r.escaped;
  }
  // Lead bytes cut off by the end of the text are dropped.
  EXPECT_EQ(EscapeEmoji("ab\xf0\x9f\x98"), "ab\x9f\x98");
  EXPECT_EQ(EscapeEmoji("ab\xe4\xbd"), "ab\xbd");
  EXPECT_EQ(EscapeEmoji("ab\xc3"), "ab");
}

TEST(TTextCodecTest, UnescapeOnlyEscapedTexts) {
  struct Row {
    std::string in, out;
  } rows[] = {
      {"50%41 off", "50%41 off"},            // no escape marker: left alone
      {"%25 and %41", "% and A"},            // marker present: every group decoded
      {"%F0%9F%98%80", "\xf0\x9f\x98\x80"},  // either case
      {"%25%zz%4", "%%zz%4"},                // non-hex groups and a cut group stay
      {"%25%", "%%"},
      {"%2500", "%00"},
      {"%25%00x", std::string("%\0x", 3)},  // an escaped zero byte is kept
  };
  for (const Row& r : rows) EXPECT_EQ(UnescapeEmoji(r.in), r.out) << r.in;
}

TEST(TTextCodecTest, EscapeRoundTripsAnyBytes) {
  std::mt19937 gen(7);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    int n = round % 40;
    for (int i = 0; i < n; ++i) text += static_cast<char>(byte(gen));
    text += "abc";  // every lead byte has its followers
    ASSERT_EQ(UnescapeEmoji(EscapeEmoji(text)), text) << round;
  }
}

TEST(TTextCodecTest, HexAndCodePage) {
  EXPECT_EQ(ByteToHex(0), "00");
  EXPECT_EQ(ByteToHex(0xab), "ab");
  EXPECT_EQ(ByteToHex(0xff), "ff");
  EXPECT_EQ(Utf8ToAnsi("\xe4\xbd\xa0/x"), "\xe4\xbd\xa0/x");
  testing::internal::CaptureStdout();
  ConsolePrintf("code %d %s\n", -3, "x");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "code -3 x\n");
}

}  // namespace
