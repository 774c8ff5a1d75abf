#include <gtest/gtest.h>

#include "util/TJsonHelper.h"
#include "util/TJsonText.h"

namespace {

TEST(TJsonTextTest, FieldsCloseIntoParsableObject) {
  std::string fields = JsonTextStringField("name", "a \"quoted\"\nline\\") +
                       JsonTextIntField("id", 1700000000123LL) + JsonTextIntField("n", -3);
  EXPECT_EQ(JsonTextKey("k"), "\"k\": ");
  EXPECT_EQ(JsonTextIntField("n", -3), "\"n\": -3,");
  std::string object = JsonTextCloseObject(fields);
  EXPECT_EQ(object.front(), '{');
  EXPECT_EQ(object.substr(object.size() - 3), "-3}");
  Json::Value v = TJsonHelper::Parse(object);
  EXPECT_EQ(TJsonHelper::GetString(v, "name"), "a \"quoted\"\nline\\");
  EXPECT_EQ(TJsonHelper::GetInt64(v, "id"), 1700000000123LL);
}

TEST(TJsonTextTest, CloseAndStripTable) {
  struct Row {
    const char* in;
    const char* closed;
    const char* stripped;
  } rows[] = {
      {"", "", ""},
      {"\"a\": 1,", "{\"a\": 1}", "\"a\": 1,"},
      {"\"a\": 1", "{\"a\": 1}", "\"a\": 1"},
      {"{\"a\": 1}", "{\"a\": 1}", "\"a\": 1"},
      {"{\"a\": 1},", "{\"a\": 1},", "{\"a\": 1},"},
      {" {x} \n", "{ {x} \n}", "x"},
      {"{", "{", "{"},
      {"{}", "{}", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.in);
    EXPECT_EQ(JsonTextCloseObject(r.in), r.closed);
    EXPECT_EQ(JsonTextStripBraces(r.in), r.stripped);
  }
}

TEST(TJsonTextTest, QuoteEscapesControlAndQuoteCharacters) {
  EXPECT_EQ(JsonQuote(""), "\"\"");
  EXPECT_EQ(JsonQuote("a\"b"), "\"a\\\"b\"");
  EXPECT_EQ(JsonQuote("t\tn\n"), "\"t\\tn\\n\"");
  // Whatever the bytes, the quoted text parses back (invalid UTF-8 included).
  for (std::string text : {std::string("\x01\x1f"), std::string("\xe4\xbd\xa0"),
                           std::string("\xff\xfe bad"), std::string("\xf0\x9f\x98\x80")}) {
    Json::Value v = TJsonHelper::Parse("{\"k\": " + JsonQuote(text) + "}");
    EXPECT_TRUE(v.isObject()) << JsonQuote(text);
  }
  Json::Value v = TJsonHelper::Parse("{\"k\": " + JsonQuote("\xe4\xbd\xa0\x01") + "}");
  EXPECT_EQ(TJsonHelper::GetString(v, "k"), "\xe4\xbd\xa0\x01");
}

// Whatever the bytes, a quoted text reads back as exactly those bytes, and every byte
// JSON allows in a string goes out as it is: text received (an IM packet's id) must
// come back byte for byte, never decoded and re-encoded into something else.
TEST(TJsonTextTest, QuoteKeepsEveryByte) {
  const struct Row {
    const char* name;
    std::string text;
  } rows[] = {
      {"three-byte lead before ASCII", "a\xe0" "bcd"},
      {"two-byte lead before ASCII", "x\xc3y"},
      {"four-byte lead before ASCII", "\xf0" "abc"},
      {"lead byte at the end", "ab\xe4"},
      {"lone continuation bytes", "\x80\xbf"},
      {"overlong slash", "\xc0\xaf"},
      {"encoded surrogate", "\xed\xa0\x80"},
      {"bytes no UTF-8 uses", "\xfe\xff"},
      {"above U+10FFFF", "\xf4\x90\x80\x80"},
      {"valid two- and three-byte", "caf\xc3\xa9 \xe4\xbd\xa0"},
      {"valid four-byte", "\xf0\x9f\x98\x80"},
      {"DEL", "a\x7f" "b"},
      {"zero byte inside", std::string("a\0b", 3)},
      {"escapes mixed with bad bytes", "\"\xe0\\\n\x01\xff/"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string quoted = JsonQuote(row.text);
    Json::Value v = TJsonHelper::Parse("{\"k\": " + quoted + "}");
    ASSERT_TRUE(v.isObject()) << quoted;
    EXPECT_TRUE(TJsonHelper::GetString(v, "k") == row.text) << quoted;
    for (char c : row.text) {
      if (static_cast<unsigned char>(c) >= 0x7f) {
        EXPECT_NE(quoted.find(c), std::string::npos) << quoted;
      }
    }
  }
  EXPECT_EQ(JsonQuote("a\xe0" "bcd"), "\"a\xe0" "bcd\"");
  EXPECT_EQ(JsonQuote(std::string("\0\x1f\x7f", 3)), "\"\\u0000\\u001f\x7f\"");
}

}  // namespace
