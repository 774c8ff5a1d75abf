// Text messages end to end: stored at once, posted to the loopback IM server,
// answered with the local id, and the row marked with what the server returned.
#include <gtest/gtest.h>
#include <json/json.h>

#include <regex>
#include <string>

#include "engine/services/send_test_env.h"
#include "util/TPasswordHash.h"

namespace {

using sendtest::kGroup;
using sendtest::kOwn;
using sendtest::kPeer;
using sendtest::PeerChecks;
using SendTextTest = sendtest::SendEnv;

TEST_F(SendTextTest, TextMessageEndToEnd) {
  const std::string text = "price \xF0\x9F\x9A\x80 it's up 5%";
  const std::string remark = "{\n    \"atAll\": false,\n    \"atUsers\": []\n}\n";
  im.SetFirstMsgid(7000000001LL);
  im.SetTime("2024-06-01 12:34:56");

  int id = api.SendMsgIM(kPeer, 0, text.c_str(), remark.c_str());
  ASSERT_GT(id, 0);
  // Stored at once, before the server answers, with the text as typed.
  EXPECT_EQ(Column(id, "content"), text);
  EXPECT_EQ(Column(id, "sendflag"), "1");

  RecordedReport reply = Reply(_REQUEST_HTTP_SENDMSGIM, id);
  EXPECT_EQ(reply.a, 0);
  EXPECT_EQ(reply.id, id);
  EXPECT_EQ(CallbackRecorder::Get().Count(_REQUEST_HTTP_SENDMSGIM, id), 1u);
  EXPECT_EQ(Column(id, "sendstate"), "1");
  EXPECT_EQ(Column(id, "msgid"), "7000000001");
  EXPECT_EQ(Column(id, "sendtime"), "2024-06-01 12:34:56");
  EXPECT_EQ(Column(id, "content"), text);
  EXPECT_EQ(storetest::SelectOne(api,
                                 "select msgid||' '||crtime from nq_messagenew where "
                                 "account='2002@tesmo.x'"),
            std::to_string(id) + " 2024-06-01 12:34:56");

  // On the wire: the emoji escaped, "%" too, everything else as given.
  auto sent = im.Messages();
  ASSERT_EQ(sent.size(), 1u);
  const auto& m = sent[0];
  EXPECT_EQ(m.path, FakeImHttpPaths::kUserPath);
  ASSERT_TRUE(m.json) << m.body;
  EXPECT_EQ(m.content, "price %f0%9f%9a%80 it's up 5%25");
  EXPECT_EQ(m.type, "msg");
  EXPECT_EQ(m.touser, kPeer);
  EXPECT_EQ(m.remark, remark);
  EXPECT_EQ(m.name, "Me");
  EXPECT_EQ(m.device, 2);
  EXPECT_EQ(m.fromver, 7);
  EXPECT_EQ(m.finger, HashPassword(kPeer, "", 0));
  EXPECT_FALSE(m.hasTransid);
  EXPECT_EQ(m.keys, (std::vector<std::string>{"name", "device", "fromver", "type", "touser",
                                              "content", "remark", "finger"}));

  // The peer check follows a one-to-one send.
  auto checks = PeerChecks::Get().WaitFor(1);
  ASSERT_EQ(checks.size(), 1u);
  EXPECT_EQ(checks[0], std::make_pair(std::string(kOwn), std::string(kPeer)));
}

TEST_F(SendTextTest, GroupTargetUsesTheGroupPathAndNoPeerCheck) {
  int group = api.SendMsgIM(kGroup, 8, "sticker:42", "{}");
  ASSERT_GT(group, 0);
  EXPECT_EQ(Reply(_REQUEST_HTTP_SENDMSGIM, group).a, 0);
  EXPECT_EQ(Column(group, "totype"), "1");
  EXPECT_EQ(Column(group, "fromgroup"), kGroup);
  EXPECT_EQ(Column(group, "sendstate"), "1");

  // A person afterwards: its peer check is the only one.
  int person = api.SendMsgIM(kPeer, 0, "hi", "{}");
  EXPECT_EQ(Reply(_REQUEST_HTTP_SENDMSGIM, person).a, 0);
  auto checks = PeerChecks::Get().WaitFor(1);
  ASSERT_EQ(checks.size(), 1u);
  EXPECT_EQ(checks[0].second, kPeer);

  auto sent = im.Messages();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].path, FakeImHttpPaths::kGroupPath);
  EXPECT_EQ(sent[0].type, "gifpic");
  EXPECT_EQ(sent[0].touser, kGroup);
  EXPECT_EQ(sent[1].path, FakeImHttpPaths::kUserPath);
}

TEST_F(SendTextTest, UnknownTypeGoesOutAsText) {
  int id = api.SendMsgIM(kPeer, 12, "odd", "");
  EXPECT_EQ(Reply(_REQUEST_HTTP_SENDMSGIM, id).a, 0);
  ASSERT_EQ(im.Messages().size(), 1u);
  EXPECT_EQ(im.Messages()[0].type, "msg");
  EXPECT_EQ(Column(id, "msgtype"), "12");
}

TEST_F(SendTextTest, ResendPostsTheStoredTextAgain) {
  im.ScriptNext({FakeImHttpPaths::Answer::kCode, -3});
  int id = api.SendMsgIM(kPeer, 0, "again", "{\"atAll\": false}");
  EXPECT_EQ(Reply(_REQUEST_HTTP_SENDMSGIM, id).a, -3);
  EXPECT_EQ(Column(id, "sendstate"), "0");

  CallbackRecorder::Get().Clear();
  EXPECT_EQ(api.RepeatSendMsg(id, ""), id);
  EXPECT_EQ(Reply(_REQUEST_HTTP_SENDMSGIM, id).a, 0);
  EXPECT_EQ(Column(id, "sendstate"), "1");
  auto sent = im.Messages();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[1].content, "again");
  EXPECT_EQ(sent[1].remark, "{\"atAll\": false}");
  EXPECT_EQ(storetest::SelectOne(api, "select count(*) from nq_message"), "1");
}

}  // namespace
