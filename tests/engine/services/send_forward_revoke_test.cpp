// Forwarding and recalling end to end: a forwarded copy names the forwarder and the
// new target and goes out by the stored URL; a recall flags the row and stores a
// notice, and an unknown id is answered without asking the server.
#include <gtest/gtest.h>
#include <json/json.h>

#include <string>

#include "engine/services/send_test_env.h"
#include "services/TMessageText.h"

namespace {

using sendtest::kGroup;
using sendtest::kOwn;
using sendtest::kPeer;
using Answer = FakeImHttpPaths::Answer;
using SendForwardRevokeTest = sendtest::SendEnv;

Json::Value Parse(const std::string& text) {
  Json::Value v;
  EXPECT_TRUE(Json::Reader().parse(text, v)) << text;
  return v;
}

const char kGuiRemark[] =
    "{\n    \"atAll\": false,\n    \"atUsers\": [],\n    \"from\": {\n        \"logo\": "
    "\"http://me/old\",\n        \"nick\": \"Me before\"\n    },\n    \"to\": {\n        "
    "\"logo\": \"http://peer/logo\",\n        \"nick\": \"Peer\"\n    }\n}\n";

TEST_F(SendForwardRevokeTest, ForwardRewritesFromAndToAndSetsTheFlag) {
  ASSERT_EQ(api.DBExecSql("insert into nq_group(groupid,groupname,grouplogo) values("
                          "'3003@group.tesmo.x','Traders \"A\"','http://group/logo')"),
            1);
  int original = api.SendMsgIM(kPeer, 0, "worth sharing \xF0\x9F\x93\x88", kGuiRemark);
  ASSERT_EQ(Reply(_REQUEST_HTTP_SENDMSGIM, original).a, 0);

  int copy = api.FwSendMsg(kGroup, original);
  ASSERT_GT(copy, original);
  EXPECT_EQ(Reply(_REQUEST_HTTP_SENDMSGIM, copy).a, 0);
  EXPECT_EQ(Column(copy, "fwflag"), "1");
  EXPECT_EQ(Column(copy, "touser"), kGroup);
  EXPECT_EQ(Column(copy, "totype"), "1");
  EXPECT_EQ(Column(copy, "content"), "worth sharing \xF0\x9F\x93\x88");
  EXPECT_EQ(Column(copy, "sendstate"), "1");
  EXPECT_EQ(Column(original, "fwflag"), "0");

  Json::Value remark = Parse(Column(copy, "remark"));
  EXPECT_EQ(remark["from"]["nick"].asString(), "Me");
  EXPECT_EQ(remark["from"]["logo"].asString(), "http://me/logo");
  EXPECT_EQ(remark["to"]["nick"].asString(), "Traders \"A\"");
  EXPECT_EQ(remark["to"]["logo"].asString(), "http://group/logo");
  EXPECT_TRUE(remark["atUsers"].isArray());

  auto sent = im.Messages();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[1].path, FakeImHttpPaths::kGroupPath);
  EXPECT_EQ(sent[1].content, "worth sharing %f0%9f%93%88");
  EXPECT_EQ(sent[1].remark, Column(copy, "remark"));
}

TEST_F(SendForwardRevokeTest, ForwardedFileGoesOutByItsUrl) {
  const std::string path = File("chart.png", std::string(4000, 'c'));
  int original = api.SendMsgFile(kPeer, 2, path.c_str(), "{\"width\": 40, \"height\": 30}");
  ASSERT_EQ(Reply(_REQUEST_HTTP_SENDMSGFILE, original).a, 0);
  const std::string url = Column(original, "content");
  ASSERT_FALSE(url.empty());

  int copy = api.FwSendMsg(kPeer, original);
  EXPECT_EQ(Reply(_REQUEST_HTTP_SENDMSGIM, copy).a, 0);
  EXPECT_EQ(store.Uploads().size(), 1u);  // no second upload
  EXPECT_EQ(Column(copy, "content"), url);
  EXPECT_EQ(Column(copy, "localpath"), "");
  EXPECT_EQ(Column(copy, "msgtype"), "2");
  EXPECT_EQ(Column(copy, "fwflag"), "1");
  // Without from/to entries the remark is kept as it was, name and size included.
  EXPECT_EQ(Column(copy, "remark"), Column(original, "remark"));
  auto sent = im.Messages();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[1].type, "pic");
  EXPECT_EQ(sent[1].content, url);
}

TEST_F(SendForwardRevokeTest, ForwardOfAnUnknownIdStoresNothingAndAnswers11) {
  EXPECT_EQ(api.FwSendMsg(kPeer, 4242), 0);
  EXPECT_EQ(Reply(_REQUEST_HTTP_SENDMSGIM, 0).a, kSendNoMessage);
  EXPECT_EQ(storetest::SelectOne(api, "select count(*) from nq_message"), "0");
  EXPECT_TRUE(im.Messages().empty());
}

TEST_F(SendForwardRevokeTest, RecallFlagsTheRowAndStoresANotice) {
  int id = api.SendMsgIM(kGroup, 0, "oops", "{\"atAll\": false}");
  ASSERT_EQ(Reply(_REQUEST_HTTP_SENDMSGIM, id).a, 0);
  const std::string serverId = Column(id, "msgid");

  EXPECT_EQ(api.RevokeMsg(id), id);
  EXPECT_EQ(Reply(_REQUEST_HTTP_REVOKEMSG, id).a, 0);
  EXPECT_EQ(Column(id, "revokeflag"), "1");
  EXPECT_EQ(Column(id, "sendstate"), "1");
  auto notice = storetest::Select(api,
                                  "select touser,msgtype,content,sendstate,msgid,fromuser from "
                                  "nq_message where msgtype=9");
  ASSERT_EQ(notice.size(), 1u);
  auto sent = im.Messages();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(notice[0], (std::vector<std::string>{kGroup, "9", std::to_string(id), "1",
                                                 std::to_string(sent[1].answeredMsgid), kOwn}));
  EXPECT_EQ(sent[1].path, FakeImHttpPaths::kGroupPath);
  EXPECT_EQ(sent[1].type, "revoke");
  EXPECT_EQ(sent[1].content, serverId);
  EXPECT_EQ(sent[1].remark, "{\"atAll\": false}");
}

TEST_F(SendForwardRevokeTest, RefusedRecallChangesNothing) {
  int id = api.SendMsgIM(kPeer, 0, "stays", "");
  ASSERT_EQ(Reply(_REQUEST_HTTP_SENDMSGIM, id).a, 0);
  struct Row {
    FakeImHttpPaths::Script script;
    int result;
  } rows[] = {{{Answer::kCode, 0}, kSendCodeZero},
              {{Answer::kCode, -7}, -7},
              {{Answer::kNotJson, 0}, kSendBadReply},
              {{Answer::kNoTime, 0}, kSendBadReply},
              {{Answer::kHttpStatus, 502}, 6}};
  for (const Row& r : rows) {
    CallbackRecorder::Get().Clear();
    im.ScriptNext(r.script);
    api.RevokeMsg(id);
    EXPECT_EQ(Reply(_REQUEST_HTTP_REVOKEMSG, id).a, r.result);
    EXPECT_EQ(Column(id, "revokeflag"), "0");
  }
  EXPECT_EQ(storetest::SelectOne(api, "select count(*) from nq_message where msgtype=9"), "0");
}

TEST_F(SendForwardRevokeTest, RecallOfAnUnknownIdAsksNobody) {
  EXPECT_EQ(api.RevokeMsg(31337), 31337);
  EXPECT_EQ(Reply(_REQUEST_HTTP_REVOKEMSG, 31337).a, kSendNoMessage);
  EXPECT_EQ(http.RequestCount(), 0u);
}

}  // namespace
