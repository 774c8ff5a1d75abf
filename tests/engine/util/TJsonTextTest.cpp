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

}  // namespace
