// Message classification helpers: type names, group targets, the conversation's
// numeric id and the @-mention flag.
#include <gtest/gtest.h>

#include <string>

#include "services/TMessageMention.h"
#include "services/TMessageStore.h"
#include "services/TMessageType.h"

TEST(MessageTypeTest, IndexAndNames) {
  struct Row {
    const char* name;
    int index;
  } rows[] = {{"msg", 0},    {"notify", 1},  {"pic", 2},         {"file", 3},
              {"audio", 4},  {"video", 5},   {"groupnotify", 6}, {"red", 7},
              {"gifpic", 8}, {"revoke", 9},  {"k-line", 10},     {"", 0},
              {"PIC", 0},    {"k-line ", 0}, {"unknown", 0},     {nullptr, 0}};
  for (const Row& r : rows)
    EXPECT_EQ(MessageTypeIndex(r.name), r.index) << (r.name ? r.name : "null");
  EXPECT_STREQ(MessageTypeName(10), "k-line");
  EXPECT_STREQ(MessageTypeName(11), "msg");
  EXPECT_STREQ(MessageTypeName(-1), "msg");
}

TEST(MessageTypeTest, GroupTargets) {
  struct Row {
    const char* target;
    bool group;
  } rows[] = {{"12@group.tesmo.x", true}, {"12@tesmo.x", false}, {"group", false},
              {"groupx.", false},         {"", false},           {"a.group.b", true}};
  for (const Row& r : rows) {
    EXPECT_EQ(IsGroupTarget(r.target), r.group) << r.target;
    EXPECT_EQ(IsGroupTarget(std::string(r.target)), r.group) << r.target;
  }
  EXPECT_FALSE(IsGroupTarget(static_cast<const char*>(nullptr)));
}

TEST(MessageTypeTest, PeerAccountId) {
  const std::string me = "100@tesmo.x";
  struct Row {
    const char *from, *to, *group;
    long long id;
  } rows[] = {
      {"7@tesmo.x", "55@group.tesmo.x", "55@group.tesmo.x", 55},  // group: the group
      {"7@tesmo.x", "55@group.tesmo.x", "", 55},          // no fromgroup: the target's number
      {"7@tesmo.x", "100@tesmo.x", "", 7},                // to me: the sender
      {"100@tesmo.x", "9@tesmo.x", "", 9},                // from me: the receiver
      {"x", "abc@tesmo.x", "", 0},                        // no leading number
      {"3000000000@x", "100@tesmo.x", "", 3000000000LL},  // beyond 32 bits
  };
  for (const Row& r : rows) {
    EXPECT_EQ(TMessageStore::PeerAccountId(r.from, r.to, r.group, me), r.id)
        << r.from << " " << r.to;
  }
}

TEST(ParseMentionTest, Table) {
  const std::string uid = "12";
  const std::string account = "12@tesmo.x";
  struct Row {
    const char* what;
    int type;
    std::string remark;
    int flag;
  } rows[] = {
      {"not a text message", 2, R"({"atAll":true})", 0},
      {"all", 0, R"({"atAll":true,"atUsers":[]})", 2},
      {"all, last in the object", 0, R"({"atUsers":[],"atAll":true})", 2},
      {"all and me", 0, R"({"atAll":true,"atUsers":[{"id":"12@tesmo.x"}]})", 2},
      {"all as text", 0, R"({"atAll":"true"})", 2},
      {"all false", 0, R"({"atAll":false,"atUsers":[]})", 0},
      {"me by account", 0, R"({"atAll":false,"atUsers":[{"id":"12@tesmo.x"}]})", 1},
      {"me by user id", 0, R"({"atUsers":[{"id":"12"}]})", 1},
      {"me by number", 0, R"({"atUsers":[{"id":12}]})", 1},
      {"me second", 0, R"({"atUsers":[{"id":"5@tesmo.x"},{"id":"12@other.x"}]})", 1},
      {"123 is not 12", 0, R"({"atUsers":[{"id":"123@tesmo.x"}]})", 0},
      {"112 is not 12", 0, R"({"atUsers":[{"id":"112"}]})", 0},
      {"12 in a name only", 0, R"({"atUsers":[{"id":"5","name":"12"}],"x":"12"})", 0},
      {"plain ids", 0, R"({"atUsers":["7","12@tesmo.x"]})", 1},
      {"empty remark", 0, "", 0},
      {"not JSON", 0, "atAll true, atUsers [12]", 0},
      {"truncated", 0, R"({"atUsers":[{"id":"12")", 0},
      {"array root", 0, R"([{"atAll":true}])", 0},
      {"atUsers not a list", 0, R"({"atUsers":{"id":"12"}})", 0},
      {"deep nesting", 0, std::string(5000, '[') + std::string(5000, ']'), 0},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ParseMention(r.type, r.remark, uid, account), r.flag) << r.what;
  }
  // Before any login the user id is "0": nobody is mentioned by it.
  EXPECT_EQ(ParseMention(0, R"({"atUsers":[{"id":"0"}]})", "0", ""), 0);
  // Without an engine core nobody is known.
  EXPECT_EQ(ParseMention(0, R"({"atUsers":[{"id":"12"}]})"), 0);
  EXPECT_EQ(ParseMention(0, R"({"atAll":true})"), 2);
}
