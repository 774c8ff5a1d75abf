// The texts of the send path: request arguments, bodies, remark rewrites and the
// reading of the server's reply. No server and no database.
#include <gtest/gtest.h>
#include <json/json.h>

#include <climits>
#include <memory>
#include <string>

#include "services/TMessageText.h"
#include "util/TArgList.h"
#include "util/TPasswordHash.h"

namespace {

// What any strict reader (the program's own included) accepts: one object, no
// trailing commas, no duplicate keys, nothing after it.
bool StrictObject(const std::string& text, Json::Value* out = nullptr) {
  Json::CharReaderBuilder builder;
  Json::CharReaderBuilder::strictMode(&builder.settings_);
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  bool ok =
      reader->parse(text.data(), text.data() + text.size(), &root, &errors) && root.isObject();
  if (out) *out = root;
  return ok;
}

TEST(SendTextsTest, ExtractFileName) {
  struct Row {
    const char* path;
    const char* name;
  } rows[] = {
      {"/home/me/Pictures/cat.png", "cat.png"},
      {"C:\\Users\\me\\doc.txt", "doc.txt"},
      {"mixed/dir\\name.bin", "name.bin"},
      {"plain.txt", "plain.txt"},
      {"/ends/with/", ""},
      {"", ""},
      {"/it's \"quoted\".png", "it's \"quoted\".png"},
  };
  for (const Row& r : rows) EXPECT_EQ(ExtractFileName(r.path), r.name) << r.path;
}

TEST(SendTextsTest, FileRemarkIsAlwaysAnObjectWithNameAndSize) {
  const std::string path = "/tmp/dir/it's \"my\" \xF0\x9F\x98\x80.png";
  const std::string name = "it's \"my\" \xF0\x9F\x98\x80.png";
  struct Row {
    const char* what;
    std::string remark;
    const char* keptKey;  // a member of the caller's remark that must survive
  } rows[] = {
      {"empty", "", nullptr},
      {"empty object", "{}", nullptr},
      {"blank object", "  { \n }  ", nullptr},
      {"program's indented remark", "{\n    \"atAll\": false,\n    \"width\": 640\n}\n", "width"},
      {"trailing comma", "{\"width\": 640,}", "width"},
      {"brace inside a string", "{\"nick\": \"}{\"}", "nick"},
      {"already has filename", "{\"filename\": \"old.png\", \"width\": 3}", "width"},
      {"already has filesize", "{\"filesize\": 1, \"width\": 3}", "width"},
      {"not JSON", "hello", nullptr},
      {"array", "[1, 2]", nullptr},
      {"nested braces only", "{{}}", nullptr},
      {"cut off", "{\"width\": 6", nullptr},
      {"fields only, no braces", "\"width\": 7", "width"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    std::string out = RebuildFileRemark(r.remark, path, 1234);
    Json::Value v;
    ASSERT_TRUE(StrictObject(out, &v)) << out;
    EXPECT_EQ(v["filename"].asString(), name);
    ASSERT_TRUE(v["filesize"].isIntegral());
    EXPECT_EQ(v["filesize"].asInt64(), 1234);
    if (r.keptKey) {
      EXPECT_TRUE(v.isMember(r.keptKey)) << out;
    }
  }
  // The caller's own text stays as written when the fields can simply follow it.
  EXPECT_EQ(RebuildFileRemark("{\"atAll\": false}", "/a/b.txt", 5),
            "{\"atAll\": false,\"filename\": \"b.txt\",\"filesize\": 5}");
  EXPECT_EQ(RebuildFileRemark("", "b.txt", 0), "{\"filename\": \"b.txt\",\"filesize\": 0}");
  // Files past 4 GiB keep their size.
  Json::Value big;
  ASSERT_TRUE(StrictObject(RebuildFileRemark("{}", "v.mp4", 5000000000LL), &big));
  EXPECT_EQ(big["filesize"].asInt64(), 5000000000LL);
}

TEST(SendTextsTest, ForwardEntriesNameTheForwarderAndTheNewTarget) {
  const std::string gui =
      "{\n    \"atAll\": false,\n    \"atUsers\": [],\n    \"from\": {\n        \"logo\": "
      "\"http://old/logo\",\n        \"nick\": \"Old\"\n    },\n    \"height\": 9,\n    \"to\": {\n"
      "        \"logo\": \"http://old/to\",\n        \"nick\": \"Old To\"\n    }\n}\n";
  // Own nick with characters that break hand-made JSON.
  const std::string nick = "Me \"}{\" \xF0\x9F\x98\x80";

  Json::Value v;
  ASSERT_TRUE(
      StrictObject(ReplaceForwardEntries(gui, "http://me", nick, true, "http://g", "Grp"), &v));
  EXPECT_EQ(v["from"]["logo"].asString(), "http://me");
  EXPECT_EQ(v["from"]["nick"].asString(), nick);
  EXPECT_EQ(v["to"]["logo"].asString(), "http://g");
  EXPECT_EQ(v["to"]["nick"].asString(), "Grp");
  EXPECT_EQ(v["height"].asInt(), 9);
  EXPECT_TRUE(v["atUsers"].isArray());

  // An unknown target keeps the picture's data; "to" is empty as the program writes it.
  ASSERT_TRUE(StrictObject(ReplaceForwardEntries(gui, "L", "N", false, "", ""), &v));
  EXPECT_EQ(v["to"], Json::Value(Json::objectValue));
  EXPECT_EQ(v["from"]["nick"].asString(), "N");
  EXPECT_EQ(v["height"].asInt(), 9);

  // Nothing to replace: nothing added, the text unchanged.
  EXPECT_EQ(ReplaceForwardEntries("{\"atAll\": true}", "L", "N", true, "a", "b"),
            "{\"atAll\": true}");
  EXPECT_EQ(ReplaceForwardEntries("", "L", "N", true, "a", "b"), "");
  // A remark that is not JSON has its entries replaced as text.
  EXPECT_EQ(ReplaceForwardEntries("x \"to\": {\"nick\": \"b\"} y \"from\": {\"logo\": \"a\"} z",
                                  "L", "N", true, "TL", "TN"),
            "x \"to\": {\"logo\": \"TL\",\"nick\": \"TN\"} y \"from\": {\"logo\": \"L\",\"nick\": "
            "\"N\"} z");
}

TEST(SendTextsTest, SendArgumentsReadBack) {
  std::string text = BuildSendArguments(42, "7@user.x", 3, "file", "/p/it's.txt", "{\"a\": 1}");
  TArgList args;
  args.Parse(text);
  EXPECT_EQ(args.Find("id"), "42");
  EXPECT_EQ(args.Find("touser"), "7@user.x");
  EXPECT_EQ(args.GetInt("msgtype"), 3);
  EXPECT_EQ(args.Find("file"), "/p/it's.txt");
  EXPECT_EQ(args.Find("remark"), "{\"a\": 1}");
  EXPECT_EQ(args.FindKey("msg"), 0);
  // Keys in the documented order.
  EXPECT_LT(text.find("\"id\""), text.find("\"touser\""));
  EXPECT_LT(text.find("\"touser\""), text.find("\"msgtype\""));
  EXPECT_LT(text.find("\"msgtype\""), text.find("\"file\""));
  EXPECT_LT(text.find("\"file\""), text.find("\"remark\""));
}

TEST(SendTextsTest, SendBodyFieldsAndPaths) {
  struct Row {
    int msgtype;
    const char* type;
  } rows[] = {{0, "msg"},     {2, "pic"},  {3, "file"}, {8, "gifpic"}, {9, "revoke"},
              {10, "k-line"}, {11, "msg"}, {12, "msg"}, {-1, "msg"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.msgtype);
    const std::string to = "15@group.tesmo.x";
    std::string body = BuildSendBody(r.msgtype, to, "hi \"there\"", "{\"a\":1}");
    Json::Value v;
    ASSERT_TRUE(StrictObject(body, &v)) << body;
    EXPECT_EQ(v["type"].asString(), r.type);
    EXPECT_EQ(v["touser"].asString(), to);
    EXPECT_EQ(v["content"].asString(), "hi \"there\"");
    EXPECT_EQ(v["remark"].asString(), "{\"a\":1}");
    EXPECT_EQ(v["finger"].asString(), HashPassword(to, "", 0));
    EXPECT_EQ(v["finger"].asString().size(), 16u);
    EXPECT_FALSE(v.isMember("transid"));
    size_t last = 0;
    for (const char* key :
         {"name", "device", "fromver", "type", "touser", "content", "remark", "finger"}) {
      size_t at = body.find(std::string("\"") + key + "\"");
      ASSERT_NE(at, std::string::npos) << key;
      EXPECT_GE(at, last) << key;
      last = at;
    }
  }
  EXPECT_EQ(SendPath("15@group.tesmo.x"), "/im/message/group/send.do");
  EXPECT_EQ(SendPath("15@tesmo.x"), "/im/message/user/send.do");
  EXPECT_EQ(SendPath("group@tesmo.x"), "/im/message/user/send.do");
}

TEST(SendTextsTest, ServerMessageIdIsAPlainPositiveInteger) {
  struct Row {
    const char* text;
    int64_t id;
  } rows[] = {
      {"123", 123},
      {"00012", 12},
      {"9223372036854775807", INT64_MAX},
      {"9223372036854775808", 0},
      {"99999999999999999999", 0},
      {"0", 0},
      {"-5", 0},
      {"12a", 0},
      {"1;drop table nq_message", 0},
      {" 12", 0},
      {"1.5", 0},
      {"", 0},
  };
  for (const Row& r : rows) EXPECT_EQ(ParseServerMessageId(r.text), r.id) << r.text;
}

TEST(SendTextsTest, ReplyResults) {
  const char* t = "2024-01-02 03:04:05";
  struct Row {
    std::string reply;
    int result;
    int64_t msgid;
  } rows[] = {
      {"", kSendBadReply, 0},
      {"<html>bad gateway</html>", kSendBadReply, 0},
      {"[1, 2]", kSendBadReply, 0},
      {"\"code\"", kSendBadReply, 0},
      {"{\"code\": 1, \"result\": {\"msgid\": 5,", kSendBadReply, 0},
      {"{\"code\": -3, \"msg\": \"denied\"}", -3, 0},
      {"{\"code\": 2}", 2, 0},
      // A code of 0 is a refusal, never a success.
      {std::string("{\"code\": 0, \"result\": {\"msgid\": 5, \"time\": \"") + t + "\"}}",
       kSendCodeZero, 0},
      {"{\"msg\": \"no code\"}", kSendCodeZero, 0},
      // Accepted, but without what marks the row sent.
      {"{\"code\": 1}", kSendBadReply, 0},
      {"{\"code\": 1, \"result\": {\"msgid\": 5}}", kSendBadReply, 0},
      {std::string("{\"code\": 1, \"result\": {\"time\": \"") + t + "\"}}", kSendBadReply, 0},
      {std::string("{\"code\": 1, \"result\": {\"msgid\": \"5x\", \"time\": \"") + t + "\"}}",
       kSendBadReply, 0},
      {std::string("{\"code\": 1, \"result\": {\"msgid\": 1.5, \"time\": \"") + t + "\"}}",
       kSendBadReply, 0},
      {"{\"code\": 1, \"result\": {\"msgid\": 5, \"time\": \"  \"}}", kSendBadReply, 0},
      {std::string("{\"code\": 1, \"result\": {\"msgid\": 77, \"time\": \"") + t + "\"}}", kSendOk,
       77},
      {std::string("{\"code\": \"1\", \"result\": {\"msgid\": \"9007199254740993\", \"time\": \"") +
           t + "\"}}",
       kSendOk, 9007199254740993LL},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.reply);
    TSendReply got = ReadSendReply(r.reply);
    EXPECT_EQ(got.result, r.result);
    if (r.result == kSendOk) {
      EXPECT_EQ(got.msgid, r.msgid);
      EXPECT_EQ(got.time, t);
    }
  }
}

}  // namespace
