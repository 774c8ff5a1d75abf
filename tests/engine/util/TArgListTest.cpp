#include <gtest/gtest.h>

#include "util/TArgList.h"

namespace {

TEST(TArgListTest, ParseTable) {
  struct Row {
    std::string text;
    std::vector<std::pair<std::string, std::string>> entries;  // in key order
  } rows[] = {
      {MakeIntArgument("b", 2) + MakeStringArgument("a", "x"), {{"a", "x"}, {"b", "2"}}},
      {"{\"z\": 1, \"y\": \"t\"}", {{"y", "t"}, {"z", "1"}}},  // already braced
      {"\"t\": true, \"f\": false", {{"f", "0"}, {"t", "1"}}},
      {"\"o\": {\"a\": 1}, \"l\": [1], \"n\": null", {{"l", ""}, {"n", ""}, {"o", ""}}},
      {"\"id\": 1700000000123, \"u\": 18446744073709551615, \"r\": 2.5",
       {{"id", "1700000000123"}, {"r", "2.500000"}, {"u", "18446744073709551615"}}},
      {MakeStringArgument("q", "say \"hi\"\nnext\\line"), {{"q", "say \"hi\"\nnext\\line"}}},
      {MakeStringArgument("cn", "\xe4\xbd\xa0\xe5\xa5\xbd"), {{"cn", "\xe4\xbd\xa0\xe5\xa5\xbd"}}},
      {"", {}},
      {"not json", {}},
      {"[1, 2]", {}},
      {"\"a\": ", {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    TArgList list;
    list.Parse("\"stale\": 1");
    list.Parse(r.text);
    ASSERT_EQ(list.Count(), static_cast<int>(r.entries.size()));
    for (size_t i = 0; i < r.entries.size(); ++i) {
      EXPECT_EQ(list.KeyAt(static_cast<int>(i)), r.entries[i].first);
      EXPECT_EQ(list.ValueAt(static_cast<int>(i)), r.entries[i].second);
      EXPECT_EQ(list.Find(r.entries[i].first), r.entries[i].second);
      EXPECT_EQ(list.FindKey(r.entries[i].first), 1);
    }
    EXPECT_EQ(list.FindKey("stale"), 0);
    EXPECT_EQ(list.KeyAt(-1), "");
    EXPECT_EQ(list.ValueAt(-1), "");
    EXPECT_EQ(list.ValueAt(list.Count()), "");
  }
}

TEST(TArgListTest, IntegersAndFragments) {
  TArgList list;
  list.Parse("\"n\": \"42\", \"big\": 1700000000123, \"neg\": -5, \"word\": \"x\", \"r\": 3.9,");
  EXPECT_EQ(list.GetInt("n"), 42);
  EXPECT_EQ(list.GetInt("neg"), -5);
  EXPECT_EQ(list.GetInt("big"), 2147483647);  // clamped, never thrown or wrapped
  EXPECT_EQ(list.GetInt("word"), 0);
  EXPECT_EQ(list.GetInt("r"), 3);
  EXPECT_EQ(list.GetInt("missing"), 0);
  EXPECT_EQ(list.Find("missing"), "");

  EXPECT_EQ(MakeStringArgument("touser", "abc"), "\"touser\": \"abc\",");
  EXPECT_EQ(MakeStringArgument("k", "a\"b"), "\"k\": \"a\\\"b\",");
  EXPECT_EQ(MakeStringArgument("k\"", "v"), "\"k\"\": \"v\",");  // the key as it is
  EXPECT_EQ(MakeIntArgument("n", -2147483647 - 1), "\"n\": -2147483648,");
}

}  // namespace
