// Chat messages pushed by the loopback IM server, through the engine's session to the
// database and the callback: duplicates, echoes, the black list, revokes, types,
// group rows, mentions and the seen marks of the own account's other devices.
#include <gtest/gtest.h>
#include <json/json.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine/net/PushTestEnv.h"
#include "engine/net/ServiceTestSupport.h"
#include "services/TSenderDetails.h"
#include "util/TTextCodec.h"

namespace {

using pushtest::kOwn;
constexpr char kPeer[] = "5@d.test";
constexpr char kGroup[] = "7@group.d.test";

class ReceiveTest : public pushtest::PushEnv {
 protected:
  void SetUp() override {
    PushEnv::SetUp();
    users.AddUser(pushtest::User("5"));
    LogIn();
  }
  std::string Column(const std::string& column, long long msgid) {
    return SelectOne("select " + column + " from nq_message where msgid=" + std::to_string(msgid));
  }
};

TEST_F(ReceiveTest, DoubledPushStoresOneRowAndRaisesOneEventWithItsLocalId) {
  const std::string typed = "hi 😀 'quoted'";
  const std::string wire = EscapeEmoji(typed);
  ASSERT_NE(wire, typed);
  const std::string push =
      Chat(kPeer, kOwn, "msg", 901, wire, {{"remark", R"({"x":1})"}, {"fromdev", "3"}});
  Push(push, 2);  // the same packet twice
  Push(Chat(kPeer, kOwn, "msg", 901, wire, {{"remark", R"({"x":1})"}, {"fromdev", "3"}}));
  Sync();

  ASSERT_EQ(Rows("msgid=901"), 1);
  const auto events = CallbackRecorder::Get().ReportsWith(_EVENT_COME_IMMESSAGE);
  ASSERT_EQ(events.size(), 1u);
  const std::string id = Column("id", 901);
  EXPECT_EQ(std::to_string(events[0].id), id);
  EXPECT_EQ(events[0].a, 0);

  // The event names the stored row's fields in a fixed order.
  Json::Value json;
  ASSERT_TRUE(Json::Reader().parse(events[0].text, json)) << events[0].text;
  const std::vector<std::string> order = {
      "id",     "accountid", "msgid",   "msgtype", "fromuser", "fromgroup", "fromver", "device",
      "touser", "totype",    "content", "remark",  "sendflag", "atflag",    "sendtime"};
  size_t at = 0;
  for (const std::string& key : order) {
    const size_t next = events[0].text.find("\"" + key + "\"");
    ASSERT_NE(next, std::string::npos) << key;
    EXPECT_GT(next + 1, at) << key;
    at = next;
  }
  EXPECT_EQ(json.size(), order.size());
  EXPECT_EQ(std::to_string(json["id"].asInt()), id);
  EXPECT_EQ(json["accountid"].asInt(), 5);
  EXPECT_EQ(json["msgid"].asInt(), 901);
  EXPECT_EQ(json["content"].asString(), typed);
  EXPECT_EQ(json["remark"].asString(), R"({"x":1})");
  EXPECT_EQ(json["device"].asInt(), 3);
  EXPECT_EQ(json["sendflag"].asInt(), 0);
  EXPECT_EQ(json["sendtime"].asString(), "2026-05-01 10:00:00");

  // The row holds the text as typed; the conversation row points at it.
  EXPECT_EQ(Column("content", 901), typed);
  EXPECT_EQ(Column("sendflag||sendstate||localsend||seeflag||totype", 901), "01000");
  EXPECT_EQ(SelectOne("select msgid from nq_messagenew where account='5@d.test'"), id);
}

TEST_F(ReceiveTest, EchoesOfThisDeviceAreDroppedOthersStored) {
  struct Row {
    const char* what;
    std::string from, to, type, fromgroup;
    int device;
    bool stored;
  } rows[] = {
      {"own text from this device", kOwn, kPeer, "msg", "", pushtest::kOwnDevice, false},
      {"own text from another device", kOwn, kPeer, "msg", "", 1, true},
      {"own notify from this device", kOwn, kPeer, "notify", "", pushtest::kOwnDevice, true},
      {"own group text from this device", kOwn, kGroup, "msg", kGroup, pushtest::kOwnDevice, false},
      {"own text of a child group", kOwn, kGroup, "msg", "8@group.d.test", pushtest::kOwnDevice,
       true},
      {"peer text with our device type", kPeer, kOwn, "msg", "", pushtest::kOwnDevice, true},
  };
  long long msgid = 1000;
  for (const Row& row : rows) {
    Push(Chat(row.from, row.to, row.type, ++msgid, row.what,
              {{"fromdev", std::to_string(row.device)}, {"fromgroup", row.fromgroup}}));
  }
  Sync();
  msgid = 1000;
  for (const Row& row : rows) {
    ++msgid;
    EXPECT_EQ(Rows("msgid=" + std::to_string(msgid)), row.stored ? 1 : 0) << row.what;
    if (row.stored) {
      EXPECT_EQ(Column("sendflag", msgid), row.from == kOwn ? "1" : "0") << row.what;
      EXPECT_EQ(Column("localsend", msgid),
                row.from == kOwn && row.device == pushtest::kOwnDevice ? "1" : "0")
          << row.what;
    }
  }
  // One event per stored message (a friendship notice, msgid -1, may come as well:
  // the conversation with the peer now runs both ways).
  size_t pushed = 0;
  for (const auto& e : CallbackRecorder::Get().ReportsWith(_EVENT_COME_IMMESSAGE))
    pushed += e.text.find("\"msgid\": 10") != std::string::npos ? 1 : 0;
  EXPECT_EQ(pushed, 4u);
}

TEST_F(ReceiveTest, OwnMessageFromAnotherDeviceMarksOnlyTheOneToOneConversationRead) {
  // The conversation now runs both ways; a refused friendship keeps its notice out
  // of the newest-message row this test reads. Each one-to-one push may ask for the
  // friendship once the conversation runs both ways: every ask is refused.
  for (int i = 0; i < 3; ++i) users.ScriptCode("/userinfo/user/updatefriend.do", -2);
  Push(Chat(kPeer, kOwn, "msg", 2001, "one to one"));
  Push(Chat(kPeer, kGroup, "msg", 2002, "in the group", {{"fromgroup", kGroup}}));
  Push(Chat(kOwn, kPeer, "msg", 2003, "from my phone", {{"fromdev", "1"}}));
  Sync();
  EXPECT_EQ(Column("seeflag", 2001), "1");
  EXPECT_EQ(Column("seeflag", 2002), "0");  // the peer's group message stays unread
  EXPECT_EQ(Column("seeflag", 2003), "1");
  EXPECT_EQ(SelectOne("select msgid from nq_messagenew where account='5@d.test'"),
            Column("id", 2003));
}

TEST_F(ReceiveTest, BlockedSenderIsRefusedAndAContainingIdIsNot) {
  core->SetBlackList("77@d.test,5@d.test");
  Push(Chat(kPeer, kOwn, "msg", 3001, "blocked"));
  Push(Chat("15@d.test", kOwn, "msg", 3002, "innocent"));
  Push(Chat(kPeer, kOwn, "notify", 3003, "a notice still comes"));
  Sync();
  EXPECT_EQ(Rows("msgid=3001"), 0);
  EXPECT_EQ(Rows("msgid=3002"), 1);
  EXPECT_EQ(Rows("msgid=3003"), 1);
  ASSERT_TRUE(sendPaths.WaitForMessages(1));
  const auto sent = sendPaths.Messages();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].path, "/im/message/user/send.do");
  EXPECT_EQ(sent[0].type, "notify");
  EXPECT_EQ(sent[0].touser, kPeer);
  EXPECT_EQ(sent[0].content, "对方拒收你的消息");
  Json::Value remark;
  ASSERT_TRUE(Json::Reader().parse(sent[0].remark, remark));
  EXPECT_EQ(remark["dest"].asString(), kPeer);
  EXPECT_EQ(remark["en"].asString(), "The other party refused your message.");
}

TEST_F(ReceiveTest, RevokesFlagTheKnownMessageAndIgnoreUnknownOnes) {
  Push(Chat(kPeer, kOwn, "msg", 4001, "soon recalled"));
  Push(Chat(kPeer, kOwn, "revoke", 4002, "4001"));
  Push(Chat(kPeer, kOwn, "revoke", 4003, "999999"));
  Push(Chat(kPeer, kOwn, "revoke", 4004, "not a number"));
  Sync();
  EXPECT_EQ(Column("revokeflag", 4001), "1");
  EXPECT_EQ(Column("msgtype", 4002), "9");
  EXPECT_EQ(Column("content", 4002), Column("id", 4001));  // the local id it recalls
  EXPECT_EQ(Rows("msgid in (4003,4004)"), 0);
}

TEST_F(ReceiveTest, TypesGroupRowsAndMentions) {
  Push(Chat(kPeer, kOwn, "nosuchtype", 5001, "?"));
  Push(Chat(kPeer, kGroup, "msg", 5002, "child message", {{"fromgroup", "8@group.d.test"}}));
  Push(Chat(kPeer, kGroup, "msg", 5003, "all of you",
            {{"fromgroup", kGroup}, {"remark", R"({"atAll":true})"}}));
  Push(Chat(kPeer, kGroup, "pic", 5004, "http://x/p.png",
            {{"fromgroup", kGroup}, {"remark", R"({"atAll":true})"}}));
  Push(Chat(kPeer, kOwn, "msg", 0, "no server id"));
  Push(Chat(kPeer, kOwn, "msg", 5005, "no time", {{"curtime", ""}}));
  Sync();
  EXPECT_EQ(Column("msgtype", 5001), "0");
  EXPECT_EQ(Column("totype||accountid", 5002), "18");
  EXPECT_EQ(Column("atflag", 5003), "2");
  EXPECT_EQ(Column("atflag", 5004), "0");
  EXPECT_EQ(Rows("content='no server id'"), 0);
  EXPECT_FALSE(Column("sendtime", 5005).empty());
  // Only the message of the group itself moved the group's conversation row.
  EXPECT_EQ(SelectOne("select msgid from nq_messagenew where account='7@group.d.test'"),
            Column("id", 5004));
  EXPECT_EQ(SelectOne("select count(*) from nq_messagenew where account='8@group.d.test'"), "0");
}

TEST_F(ReceiveTest, ChildGroupMessageAloneLeavesTheConversationRowAlone) {
  Push(Chat(kPeer, kGroup, "msg", 5101, "child only", {{"fromgroup", "8@group.d.test"}}));
  Sync();
  EXPECT_EQ(Rows("msgid=5101"), 1);
  EXPECT_EQ(SelectOne("select count(*) from nq_messagenew"), "0");
}

TEST_F(ReceiveTest, GroupNotificationRaisesItsNoticeThenTheMessage) {
  const std::string notice =
      R"({"notify":"join","userid":"9@d.test","nick":"Nine","membercount":4,"groupname":"X"})";
  Push(Chat(kPeer, kGroup, "groupnotify", 6001, notice, {{"fromgroup", kGroup}}));
  Sync();
  std::vector<int> order;
  for (const auto& r : CallbackRecorder::Get().Reports())
    // The group store's own "groupchange" report is not the notice.
    if ((r.code == _EVENT_COME_GROUPNOTIFY && r.text.find("join") != std::string::npos) ||
        r.code == _EVENT_COME_IMMESSAGE)
      order.push_back(r.code);
  EXPECT_EQ(order, (std::vector<int>{_EVENT_COME_GROUPNOTIFY, _EVENT_COME_IMMESSAGE}));
  EXPECT_EQ(Column("msgtype", 6001), "6");
  EXPECT_EQ(SelectOne("select nick from nq_groupuser where account='9@d.test'"), "Nine");
}

TEST_F(ReceiveTest, UnknownSenderDetailsAreFetchedOnceKnown) {
  users.AddUser(pushtest::User("6", 4));
  Push(Chat("6@d.test", kOwn, "msg", 7001, "who am I", {{"fromversion", "4"}}));
  Push(Chat("6@d.test", kOwn, "msg", 7002, "again", {{"fromversion", "4"}}));
  Sync();
  // Fetched beside the pushes, on a request worker.
  ASSERT_TRUE(WaitUntil([&] {
    return SelectOne("select name from nq_contact where account='6@d.test'") == "User 6";
  }));
  ASSERT_TRUE(WaitUntil([] { return !TSenderDetails::Running(); }));
  size_t asked = 0;
  for (const auto& r : http.Requests("/userinfo/user/getdetail.do"))
    if (r.body.find("6@d.test") != std::string::npos) ++asked;
  EXPECT_EQ(asked, 1u);
}

// A user server that takes calls but never answers holds no push: one fetch waits
// for it, the senders after it are not asked while it stays silent, and the messages
// and a kick-out after them are handled in their order meanwhile.
TEST_F(ReceiveTest, ASilentDetailServerCostsOneWaitNotOnePerMessage) {
  const struct {
    const char* name;
    std::vector<std::string> senders;
    bool kickOut;  // the server ends the session after the messages
  } rows[] = {
      {"three senders", {"61@d.test", "62@d.test", "63@d.test"}, false},
      {"one sender, three messages", {"64@d.test", "64@d.test", "64@d.test"}, false},
      {"four senders, then a kick-out", {"65@d.test", "66@d.test", "67@d.test", "68@d.test"}, true},
  };
  long long msgid = 9001;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FakeHttpServer silent;
    silent.Handle(FakeUserServer::kDetailPath, [](const FakeRequest&) {
      FakeReply r = FakeReply::Json("{}");
      r.stall = true;
      return r;
    });
    ASSERT_TRUE(silent.Start());
    core->SetServer("USERSERVER", "127.0.0.1:" + std::to_string(silent.Port()));
    const long long first = msgid;
    for (const std::string& sender : row.senders) {
      Push(Chat(sender, kOwn, "msg", msgid, "m" + std::to_string(msgid)));
      ++msgid;
    }
    if (row.kickOut) {
      Push(FakeIMServer::SysPacket(kOwn, "kickout",
                                   {{"regsterid", TIMSession::GetRegistrationId()}}));
      // Pushes the engine receives before it has handled the kick-out are the ended
      // login's: the sync marker comes after it.
      ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_RECV_KICKOUT, std::nullopt,
                                                  std::chrono::seconds(60)));
    }
    Sync();
    const auto stored = Select(
        "select msgid from nq_message where msgid>=" + std::to_string(first) + " order by id");
    ASSERT_EQ(stored.size(), row.senders.size());
    for (size_t i = 0; i < stored.size(); ++i)
      EXPECT_EQ(stored[i][0], std::to_string(first + static_cast<long long>(i)));
    EXPECT_EQ(Count(_EVENT_RECV_KICKOUT), row.kickOut ? 1u : 0u);
    ASSERT_TRUE(WaitUntil([] { return !TSenderDetails::Running(); }, std::chrono::seconds(60)));
    // With the kick-out the account's fetch may end before it starts.
    const size_t asked = silent.Requests(FakeUserServer::kDetailPath).size();
    EXPECT_LE(asked, 1u);
    if (!row.kickOut) {
      EXPECT_EQ(asked, 1u);
    }
    silent.Stop();
  }
}

// A one-to-one recall takes back only a message its sender sent: the peer's own, or
// the own account's recalled from another of its devices.
TEST_F(ReceiveTest, AOneToOneRecallMarksOnlyTheRevokersOwnMessage) {
  users.AddUser(pushtest::User("6"));
  Push(Chat(kPeer, kOwn, "msg", 801, "from the peer"));
  Push(Chat("6@d.test", kOwn, "msg", 802, "from another peer"));
  Push(Chat(kOwn, kPeer, "msg", 803, "from my other device"));
  Sync();
  ASSERT_EQ(Rows("msgid in (801,802,803)"), 3);
  const struct {
    const char* name;
    const char* revoker;
    const char* to;
    long long revoked;
    const char* flag;  // revokeflag of the named message afterwards
  } rows[] = {
      {"a peer recalls another peer's message", kPeer, kOwn, 802, "0"},
      {"a peer recalls the own account's message", kPeer, kOwn, 803, "0"},
      {"a peer recalls its own message", kPeer, kOwn, 801, "1"},
      {"the own account recalls from another device", kOwn, kPeer, 803, "1"},
  };
  long long revokeId = 811;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const int notices = Rows("msgtype=9");
    Push(Chat(row.revoker, row.to, "revoke", revokeId++, std::to_string(row.revoked)));
    Sync();
    EXPECT_EQ(Column("revokeflag", row.revoked), row.flag);
    EXPECT_EQ(Rows("msgtype=9"), notices + (row.flag[0] == '1' ? 1 : 0));
  }
  EXPECT_EQ(Column("revokeflag", 802), "0");
}

// A group recall counts only from the message's writer or from an owner or manager of
// the group as the member table knows them; any other recall leaves the row, stores no
// notice and tells nobody.
TEST_F(ReceiveTest, AGroupRecallIsAppliedOnlyForTheWriterTheOwnerOrAManager) {
  const char* kWriter = "41@d.test";
  for (const char* user : {"41", "42", "43", "44", "45", "47"}) users.AddUser(pushtest::User(user));
  const struct {
    const char* account;
    const char* group;
    int role;
  } members[] = {{kWriter, kGroup, 3},
                 {"42@d.test", kGroup, 1},
                 {"43@d.test", kGroup, 2},
                 {"44@d.test", kGroup, 3},
                 {"45@d.test", "9@group.d.test", 2}};
  // The group list names an owner the member table has no row for yet.
  ASSERT_GE(api.DBExecSql(("insert or ignore into nq_group(groupid) values('" +
                           std::string(kGroup) + "')").c_str()),
            0);
  ASSERT_GT(api.DBExecSql(("update nq_group set craccount='47@d.test' where groupid='" +
                           std::string(kGroup) + "'").c_str()),
            0);
  for (const auto& m : members) {
    ASSERT_GT(api.DBExecSql(("insert into nq_groupuser(groupid,account,role) values('" +
                             std::string(m.group) + "','" + m.account + "'," +
                             std::to_string(m.role) + ")")
                                .c_str()),
              0);
  }
  const struct {
    const char* name;
    const char* revoker;
    bool applied;
  } rows[] = {
      {"a plain member recalls another's message", "44@d.test", false},
      {"a manager of another group", "45@d.test", false},
      {"someone the member table does not know", "46@d.test", false},
      {"the writer", kWriter, true},
      {"the owner", "42@d.test", true},
      {"a manager", "43@d.test", true},
      {"the owner the group list names", "47@d.test", true},
  };
  long long msgid = 7001;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const long long message = msgid++;
    const long long revoke = msgid++;
    Push(Chat(kWriter, kGroup, "msg", message, "said in the group", {{"fromgroup", kGroup}}));
    Sync();
    const size_t events = Count(_EVENT_COME_IMMESSAGE);
    Push(Chat(row.revoker, kGroup, "revoke", revoke, std::to_string(message),
              {{"fromgroup", kGroup}}));
    Sync();
    EXPECT_EQ(Column("revokeflag", message), row.applied ? "1" : "0");
    EXPECT_EQ(Rows("msgid=" + std::to_string(revoke)), row.applied ? 1 : 0);
    EXPECT_EQ(Count(_EVENT_COME_IMMESSAGE), events + (row.applied ? 1 : 0));
  }
}

// A "lost the group" notice without a push time is still the same event on every
// repeat of its push: the push's own id tells them apart, not the local time.
TEST_F(ReceiveTest, ALostGroupNoticeWithoutAPushTimeIsStoredOncePerPush) {
  const std::string removed = R"({"notify":"removeuser","groupid":")" + std::string(kGroup) +
                              R"(","userid":")" + kOwn + R"(","nick":"Me","recvusers":")" + kOwn +
                              R"("})";
  const std::string notices = std::string("msgid=-1 and msgtype=6 and touser='") + kGroup + "'";
  for (int i = 0; i < 3; ++i) {
    Push(Chat(kPeer, kGroup, "groupnotify", 6201, removed,
              {{"fromgroup", kGroup}, {"curtime", ""}}));
    Sync();
    // Apart by more than a second, so the local times of the repeats differ.
    if (i == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  }
  EXPECT_EQ(Rows(notices), 1);
  // Another push of the same kind is another event.
  Push(Chat(kPeer, kGroup, "groupnotify", 6202, removed, {{"fromgroup", kGroup}, {"curtime", ""}}));
  Sync();
  EXPECT_EQ(Rows(notices), 2);
}

// A notice that the own account lost a group is stored without the server's id; the
// server repeats its push until it hears back, and each repeat is the same event.
TEST_F(ReceiveTest, ALostGroupNoticeIsStoredOncePerGroupAndEvent) {
  const std::string removed = R"({"notify":"removeuser","groupid":")" + std::string(kGroup) +
                              R"(","userid":")" + kOwn + R"(","nick":"Me","recvusers":")" + kOwn +
                              R"("})";
  const std::string destroyed =
      R"({"notify":"destroy","groupid":"8@group.d.test","groupname":"Gone"})";
  const struct {
    const char* name;
    const char* group;
    std::string content;
    const char* time;
    int copies;   // pushes of the same event, each under a new packet id
    int notices;  // rows of the group's lost-group notices afterwards
  } rows[] = {
      {"removed, pushed three times", kGroup, removed, "2026-05-01 10:00:00", 3, 1},
      {"destroyed, pushed twice", "8@group.d.test", destroyed, "2026-05-01 10:00:00", 2, 1},
      {"removed again later", kGroup, removed, "2026-05-02 09:00:00", 2, 2},
  };
  long long msgid = 6101;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const long long id = msgid++;
    for (int i = 0; i < row.copies; ++i) {
      Push(Chat(kPeer, row.group, "groupnotify", id, row.content,
                {{"fromgroup", row.group}, {"curtime", row.time}}));
    }
    Sync();
    EXPECT_EQ(Rows(std::string("msgid=-1 and msgtype=6 and touser='") + row.group + "'"),
              row.notices);
  }
}

}  // namespace
