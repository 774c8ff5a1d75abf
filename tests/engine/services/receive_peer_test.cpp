// Request 101: a one-to-one conversation that runs both ways makes the peer a friend
// on the user server, with one local notice in the conversation and its event.
#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "engine/net/PushTestEnv.h"
#include "engine/net/ServiceTestSupport.h"
#include "net/THttpRequestService.h"
#include "services/TUserService.h"

namespace {

using pushtest::kOwn;
constexpr char kPeer[] = "5@d.test";
constexpr char kNotice[] = "聊天即加为好友,可以在联系人中查看";
constexpr int kRunPeer = 290101;  // a request code of the tests' own

class PeerTest : public pushtest::PushEnv {
 protected:
  void SetUp() override {
    PushEnv::SetUp();
    users.AddUser(pushtest::User("5"));
  }
  // Runs request 101 on a worker as the service would; its result.
  int RunPeer(const std::string& s1, const std::string& s2) {
    ScopedExecutor run(*core->GetRequestService(), kRunPeer,
                       [](THttpRequestService& service, TAPIPacket* p) {
                         return TUserService(service).OnPeerMessage(p);
                       });
    const int id = ++m_id;
    TAPIPacket* p = new TAPIPacket;
    p->code = kRunPeer;
    p->id = id;
    p->s1 = s1;
    p->s2 = s2;
    core->PostPacket(p);
    auto reply = CallbackRecorder::Get().WaitFor(kRunPeer, id, std::chrono::seconds(30));
    EXPECT_TRUE(reply.has_value());
    return reply ? reply->a : -100;
  }
  void Stored(const std::string& from, const std::string& to) {
    ASSERT_EQ(api.DBExecSql(("insert into nq_message(msgid,fromuser,touser,totype,msgtype,"
                             "content,sendtime) values(7," +
                             storetest::Quote(from) + "," + storetest::Quote(to) +
                             ",0,0,'x','2026-05-01 09:00:00')")
                                .c_str()),
              1);
  }
  int Notices() { return Rows("content=" + storetest::Quote(kNotice)); }
  bool IsFriendOnServer() {
    auto f = users.Friends();
    return std::find(f.begin(), f.end(), kPeer) != f.end();
  }
  int m_id = 0;
};

TEST_F(PeerTest, OneWayConversationsAndGroupsMakeNoFriend) {
  // Only the peer has written so far.
  Stored(kPeer, kOwn);
  EXPECT_EQ(RunPeer(kPeer, kOwn), 1);
  EXPECT_EQ(RunPeer(kPeer, "7@group.d.test"), 1);
  EXPECT_EQ(RunPeer(kOwn, "7@group.d.test"), 1);
  EXPECT_EQ(http.Requests(FakeUserServer::kUpdateFriendPath).size(), 0u);
  EXPECT_EQ(Notices(), 0);
}

TEST_F(PeerTest, BothWaysMakeAFriendWithOneNoticeAndItsEvent) {
  Stored(kPeer, kOwn);
  Stored(kOwn, kPeer);
  EXPECT_EQ(RunPeer(kOwn, kPeer), 0);
  EXPECT_TRUE(IsFriendOnServer());
  EXPECT_EQ(http.Requests(FakeUserServer::kDetailPath).empty(), false);
  ASSERT_EQ(Notices(), 1);
  const auto row = Select(
      "select id,msgid,fromuser,touser,msgtype,device,fromver,seeflag from "
      "nq_message where content=" +
      storetest::Quote(kNotice))[0];
  EXPECT_EQ(row[1], "-1");
  EXPECT_EQ(row[2], kOwn);
  EXPECT_EQ(row[3], kPeer);
  EXPECT_EQ(row[4] + row[5] + row[6], "111");
  auto event = CallbackRecorder::Get().WaitFor(_EVENT_COME_IMMESSAGE);
  ASSERT_TRUE(event);
  EXPECT_EQ(std::to_string(event->id), row[0]);
  Json::Value json;
  ASSERT_TRUE(Json::Reader().parse(event->text, json));
  EXPECT_EQ(json["content"].asString(), kNotice);
  EXPECT_EQ(json["msgid"].asInt(), -1);
  EXPECT_EQ(json["touser"].asString(), kPeer);

  // Already a friend: nothing more, whoever writes.
  EXPECT_EQ(RunPeer(kPeer, kOwn), 1);
  EXPECT_EQ(RunPeer(kOwn, kPeer), 1);
  EXPECT_EQ(Notices(), 1);
  EXPECT_EQ(http.Requests(FakeUserServer::kUpdateFriendPath).size(), 1u);
}

TEST_F(PeerTest, RefusedOrFailedFriendshipStoresNoNoticeAndIsAskedAgain) {
  Stored(kPeer, kOwn);
  Stored(kOwn, kPeer);
  users.ScriptCode(FakeUserServer::kUpdateFriendPath, -2);
  EXPECT_EQ(RunPeer(kPeer, kOwn), 1);
  EXPECT_EQ(Notices(), 0);
  EXPECT_EQ(Count(_EVENT_COME_IMMESSAGE), 0u);

  core->SetServer("USERSERVER", "127.0.0.1:1");  // nobody there
  EXPECT_EQ(RunPeer(kPeer, kOwn), 1);
  EXPECT_EQ(Notices(), 0);

  core->SetServer("USERSERVER", "127.0.0.1:" + std::to_string(http.Port()));
  EXPECT_EQ(RunPeer(kPeer, kOwn), 0);
  EXPECT_EQ(Notices(), 1);
}

TEST_F(PeerTest, APushedReplyToOwnMessageMakesTheFriendOnce) {
  LogIn();
  Stored(kOwn, kPeer);
  for (int i = 0; i < 3; ++i)
    Push(Chat(kPeer, kOwn, "msg", 8000 + i, "reply " + std::to_string(i)));
  Sync();
  ASSERT_TRUE(im.WaitFor([this] { return Notices() == 1; }));
  ASSERT_TRUE(im.WaitFor([this] { return Count(_EVENT_COME_IMMESSAGE) == 4; }));
  // Every queued check has run once the server saw the one friendship request.
  ASSERT_TRUE(im.WaitFor([this] { return core->GetRequestService()->QueuedCount() == 0; }));
  EXPECT_EQ(http.Requests(FakeUserServer::kUpdateFriendPath).size(), 1u);
  EXPECT_EQ(Notices(), 1);
}

}  // namespace
