#include <gtest/gtest.h>

#include <climits>

#include "util/TJsonHelper.h"

namespace {

const char* kDoc = R"({
  "text": "abc", "digits": "12", "word": "x12", "yes": true, "no": false,
  "small": 42, "negative": -7, "big": 1234567890123, "huge": 18446744073709551615,
  "real": 3.7, "nothing": null, "list": [1, 2], "object": {"a": 1},
  "ms": 1700000000123, "bigtext": "99999999999"
})";

TEST(TJsonHelperTest, ReadsEveryTypeWithoutThrowing) {
  Json::Value doc = TJsonHelper::Parse(kDoc);
  ASSERT_TRUE(doc.isObject());
  struct Row {
    const char* key;
    const char* text;
    int number;
    int64_t wide;
  } rows[] = {
      {"text", "abc", 0, 0},
      {"digits", "12", 12, 12},
      {"word", "x12", 0, 0},
      {"yes", "1", 1, 1},
      {"no", "0", 0, 0},
      {"small", "42", 42, 42},
      {"negative", "-7", -7, -7},
      // Past 32 bits: the text and the wide read keep the value; the int clamps.
      {"big", "1234567890123", INT_MAX, 1234567890123LL},
      {"ms", "1700000000123", INT_MAX, 1700000000123LL},
      {"huge", "18446744073709551615", INT_MAX, INT64_MAX},
      {"bigtext", "99999999999", INT_MAX, 99999999999LL},
      {"real", "3.700000", 3, 3},
      {"nothing", "", 0, 0},
      {"list", "", 0, 0},
      {"object", "", 0, 0},
      {"absent", "", 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.key);
    EXPECT_EQ(TJsonHelper::GetString(doc, r.key), r.text);
    EXPECT_EQ(TJsonHelper::GetInt(doc, r.key), r.number);
    EXPECT_EQ(TJsonHelper::GetInt64(doc, r.key), r.wide);
  }
  EXPECT_TRUE(TJsonHelper::HasMember(doc, "nothing"));
  EXPECT_FALSE(TJsonHelper::HasMember(doc, "absent"));
  EXPECT_EQ(TJsonHelper::GetValue(doc, "list").size(), 2u);
  EXPECT_TRUE(TJsonHelper::GetValue(doc, "absent").isNull());
}

TEST(TJsonHelperTest, NonObjectsAndBadTextGiveEmptyValues) {
  // Member reads on arrays, numbers and strings would make jsoncpp throw.
  for (const char* text : {"[1,2,3]", "5", "\"s\"", "null", "", "{bad", "{\"a\":", "nonsense"}) {
    SCOPED_TRACE(text);
    Json::Value v = TJsonHelper::Parse(text);
    EXPECT_FALSE(TJsonHelper::HasMember(v, "a"));
    EXPECT_EQ(TJsonHelper::GetString(v, "a"), "");
    EXPECT_EQ(TJsonHelper::GetInt(v, "a"), 0);
    EXPECT_EQ(TJsonHelper::GetInt64(v, "a"), 0);
    EXPECT_TRUE(TJsonHelper::GetValue(v, "a").isNull());
  }
  EXPECT_TRUE(TJsonHelper::Parse("{bad").isNull());
  EXPECT_TRUE(TJsonHelper::Parse("").isNull());
}

TEST(TJsonHelperTest, ParsesCommentsAndBoundsNesting) {
  Json::Value v = TJsonHelper::Parse("// note\n{\"a\": 1 /* why */}");
  EXPECT_EQ(TJsonHelper::GetInt(v, "a"), 1);
  // A hostile depth is refused, not followed down the stack.
  std::string deep(100000, '[');
  EXPECT_TRUE(TJsonHelper::Parse(deep).isNull());
}

}  // namespace
