#include <gtest/gtest.h>

#include <climits>

#include "util/TReplyRecord.h"

namespace {

TEST(TReplyRecordTest, ReadsCodeMessageAndResultMembers) {
  TReplyRecord r(R"({"code": 1, "msg": "ok", "result": {"msgid": 12345678901,
                   "time": "2024-01-02 03:04:05", "flag": true, "none": null,
                   "list": [1], "obj": {"a": 1}, "text": "x\"y"}})");
  EXPECT_EQ(r.ok, 1);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.msg, "ok");
  ASSERT_EQ(r.keys.size(), r.values.size());
  struct Row {
    const char* name;
    const char* text;
    int number;
    bool present;
  } rows[] = {
      // Large ids keep every digit as text; the integer read clamps instead of overflowing.
      {"msgid", "12345678901", INT_MAX, true},
      {"time", "2024-01-02 03:04:05", 2024, true},
      {"flag", "1", 1, true},
      {"none", "", 0, true},
      {"list", "", 0, true},
      {"obj", "", 0, true},
      {"text", "x\"y", 0, true},
      {"absent", "", 0, false},
      {"MSGID", "", 0, false},  // names match byte for byte
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(r.GetString(row.name), row.text);
    EXPECT_EQ(r.GetInt(row.name), row.number);
    EXPECT_EQ(r.Has(row.name), row.present);
  }
}

TEST(TReplyRecordTest, ShapesOtherThanTheUsualOne) {
  struct Row {
    const char* text;
    int ok;
    int code;
    const char* msg;
    size_t members;
  } rows[] = {
      {"", 0, 0, "", 0},
      {"<html>502</html>", 0, 0, "", 0},
      {"{\"code\": 1, \"result\": {", 0, 0, "", 0},  // cut off
      {"null", 0, 0, "", 0},
      {"{}", 1, 0, "", 0},
      {"{\"code\": -3, \"msg\": \"denied\"}", 1, -3, "denied", 0},
      {"{\"code\": \"1\", \"result\": null}", 1, 1, "", 0},
      {"{\"code\": 1, \"result\": [1, 2]}", 1, 1, "", 0},
      {"{\"code\": 1, \"result\": \"text\"}", 1, 1, "", 0},
      {"{\"code\": 99999999999}", 1, INT_MAX, "", 0},
      {"[1, 2, 3]", 1, 0, "", 0},
      {"{\"code\": 0, \"result\": {\"a\": 1, \"b\": 2}}", 1, 0, "", 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    TReplyRecord r(row.text);
    EXPECT_EQ(r.ok, row.ok);
    EXPECT_EQ(r.code, row.code);
    EXPECT_EQ(r.msg, row.msg);
    EXPECT_EQ(r.keys.size(), row.members);
    EXPECT_EQ(r.values.size(), row.members);
    EXPECT_EQ(r.GetString("a"), row.members ? "1" : "");
  }
}

}  // namespace
