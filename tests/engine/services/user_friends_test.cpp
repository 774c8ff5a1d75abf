// Friends, remarks and the black list through the loopback user servers: the friend
// list download, the friend checks, removals, remarks and black-list changes.
#include <json/json.h>

#include "user_test_env.h"
#include "util/TJsonHelper.h"

namespace {

using usertest::MakeUser;
using usertest::UserEnv;

constexpr char kFriendPath[] = "/userinfo/user/getfriend.do";
constexpr char kUpdatePath[] = "/userinfo/user/updatefriend.do";
constexpr char kDetailList[] = "/userinfo/user/getdetaillist.do";

class FriendsTest : public UserEnv {
 protected:
  RecordedReport FriendSync(int version = 0) {
    return Post(a.Url(kFriendPath),
                R"({"userid": "1001", "version": )" + std::to_string(version) + "}");
  }
  // A user stored as a friend, in the table and the cache.
  void KnownFriend(const std::string& id, const std::string& domain, int version) {
    ASSERT_EQ(api.DBExecSql(("insert into nq_contact(userid,account,isfriend,version) values(" +
                             id + ",'" + id + "@" + domain + "',1," + std::to_string(version) + ")")
                                .c_str()),
              1);
    core->GetContactCache()->Set(id + "@" + domain, "", "", "", "", 1, version, 0);
  }
  std::string IsFriend(const std::string& id) {
    return One("select isfriend from nq_contact where userid=" + id);
  }
  std::string FriendVer() { return api.GetDatabaseManager()->GetSaveInfo(1, "FRIENDVER"); }
  int CachedFriend(const std::string& account) {
    auto r = core->GetContactCache()->Find(account);
    return r ? r->isfriend : -1;
  }
};

TEST_F(FriendsTest, FriendListStoresBlackListRemarksFriendsAndVersion) {
  users.AddUser(MakeUser("12", "a.test", 2));
  users.AddUser(MakeUser("14", "b.test"));
  KnownFriend("13", "a.test", 1);
  a.Route(kFriendPath, FakeReply::Json(R"({"code": 1, "result": {"version": 9,)"
                                       R"( "black": "7@a.test,8@group.a.test",)"
                                       R"( "remarks": [{"acc": "12@a.test", "name": "Boss's"},)"
                                       R"( {"acc": "x');drop table nq_remark;--", "name": "n"}],)"
                                       R"( "friends": [{"acc": "12@a.test", "deleted": 0},)"
                                       R"( {"acc": "14@b.test", "deleted": 0},)"
                                       R"( {"acc": "13@a.test", "deleted": 1}]}})"));
  RecordedReport r = FriendSync();
  EXPECT_EQ(r.a, 0);
  EXPECT_STREQ(api.GetBlackList(), "7@a.test,8@group.a.test");
  EXPECT_EQ(One("select name from nq_remark where account='12@a.test'"), "Boss's");
  EXPECT_EQ(One("select count(*) from nq_remark"), "2");
  EXPECT_EQ(IsFriend("12"), "1");
  EXPECT_EQ(IsFriend("14"), "1");
  EXPECT_EQ(IsFriend("13"), "0");
  EXPECT_EQ(CachedFriend("13@a.test"), 0);
  EXPECT_EQ(CachedFriend("14@b.test"), 1);
  EXPECT_EQ(FriendVer(), "9");
  // Each domain asked once; the program gets the combined detail list.
  EXPECT_EQ(a.Requests(kDetailList).size(), 1u);
  EXPECT_EQ(b.Requests(kDetailList).size(), 1u);
  EXPECT_EQ(TJsonHelper::Parse(r.text)["result"]["count"].asInt(), 2);
  // The list itself raises no event.
  EXPECT_EQ(Events(_EVENT_REPORT_FRIENDNOTIFY), 0u);
}

TEST_F(FriendsTest, DeletionsOnlyAndAMissingBlackList) {
  core->SetBlackList("7@a.test");
  KnownFriend("13", "a.test", 1);
  a.Route(kFriendPath, FakeReply::Json(R"({"code": 1, "result": {"version": 4,)"
                                       R"( "friends": [{"acc": "13@a.test", "deleted": 1}]}})"));
  RecordedReport r = FriendSync();
  EXPECT_EQ(r.a, 0);
  EXPECT_STREQ(api.GetBlackList(), "");
  EXPECT_EQ(FriendVer(), "4");  // stored although nothing was fetched
  EXPECT_EQ(IsFriend("13"), "0");
  EXPECT_EQ(a.Requests(kDetailList).size(), 0u);
}

TEST_F(FriendsTest, AFailedDetailFetchKeepsTheOldVersion) {
  api.GetDatabaseManager()->SetSaveInfoInt(1, "FRIENDVER", 3);
  users.AddUser(MakeUser("14", "b.test"));
  b.Stop();
  a.Route(kFriendPath, FakeReply::Json(R"({"code": 1, "result": {"version": 5,)"
                                       R"( "friends": [{"acc": "14@b.test", "deleted": 0}]}})"));
  FriendSync();
  EXPECT_EQ(FriendVer(), "3");
  // A refused reply changes nothing at all.
  core->SetBlackList("7@a.test");
  users.ScriptCode(kFriendPath, -1);
  users.Mount(a, usertest::kDomainA);
  FriendSync();
  EXPECT_STREQ(api.GetBlackList(), "7@a.test");
  EXPECT_EQ(FriendVer(), "3");
}

TEST_F(FriendsTest, AHostileIdIsRefusedWithTheDatabaseIntact) {
  ASSERT_GT(api.SendMsgIM("2@a.test", 1, "keep me", "{}"), 0);
  KnownFriend("13", "a.test", 1);
  testing::internal::CaptureStdout();
  a.Route(kFriendPath,
          FakeReply::Json(R"({"code": 1, "result": {"version": 6, "friends": [)"
                          R"({"acc": "1);drop table nq_message;--@a.test", "deleted": 1},)"
                          R"({"acc": "13@a.test", "deleted": 1}]}})"));
  FriendSync();
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_NE(printed.find("refused id"), std::string::npos);
  EXPECT_EQ(One("select count(*) from nq_message"), "1");
  EXPECT_EQ(One("select count(*) from sqlite_master where name='nq_contact'"), "1");
  EXPECT_EQ(IsFriend("13"), "0");  // the good id still applied
  EXPECT_EQ(FriendVer(), "6");
}

TEST_F(FriendsTest, TheLoopbackServersFriendListEndToEnd) {
  users.AddUser(MakeUser("12", "a.test"));
  users.AddUser(MakeUser("14", "b.test"));
  users.SetFriend("12@a.test");
  users.SetFriend("14@b.test");
  users.SetFriend("12@a.test", true);
  FriendSync();
  EXPECT_EQ(IsFriend("14"), "1");
  EXPECT_EQ(One("select count(*) from nq_contact where userid=12 and isfriend=1"), "0");
  EXPECT_EQ(FriendVer(), std::to_string(users.FriendVersion()));
}

TEST_F(FriendsTest, CheckAccountFetchesOnlyNewOrNewerFriends) {
  users.AddUser(MakeUser("12", "a.test", 2));
  users.AddUser(MakeUser("14", "b.test", 1));
  users.SetFriend("12@a.test");
  KnownFriend("12", "a.test", 2);

  // Equal versions: no request, no event, the server's reply as it came.
  RecordedReport same = Post(a.Url("/navigation/user/checkaccount.do"), "{}");
  EXPECT_EQ(same.a, 0);
  EXPECT_EQ(TJsonHelper::Parse(same.text)["result"]["array"][0]["account"].asString(), "12@a.test");
  EXPECT_EQ(a.Requests(kUpdatePath).size(), 0u);
  EXPECT_EQ(a.Requests(kDetailList).size(), 0u);
  EXPECT_EQ(Events(_EVENT_REPORT_FRIENDNOTIFY), 0u);

  // A new friend on the server: added there, fetched, announced.
  users.SetFriend("14@b.test");
  RecordedReport added = Post(a.Url("/navigation/user/checkaccount.do"), "{}");
  auto update = a.Requests(kUpdatePath);
  ASSERT_EQ(update.size(), 1u);
  Json::Value body = TJsonHelper::Parse(update[0].body);
  EXPECT_EQ(body["friends"].asString(), "14@b.test");
  EXPECT_EQ(body["userid"].asString(), "1001");
  EXPECT_EQ(b.Requests(kDetailList).size(), 1u);
  EXPECT_EQ(TJsonHelper::Parse(added.text)["result"]["array"][0]["userid"].asString(), "14");
  EXPECT_EQ(IsFriend("14"), "1");
  ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_REPORT_FRIENDNOTIFY).has_value());
}

TEST_F(FriendsTest, CheckMobileAddsThoseNotYetFriends) {
  users.AddUser(MakeUser("12", "a.test"));
  users.AddUser(MakeUser("14", "b.test"));
  KnownFriend("12", "a.test", 1);
  RecordedReport r =
      Post(a.Url("/navigation/user/checkmobile.do"), R"({"mobiles": "138000012,138000014"})");
  EXPECT_EQ(r.a, 0);
  auto update = a.Requests(kUpdatePath);
  ASSERT_EQ(update.size(), 1u);
  EXPECT_EQ(TJsonHelper::Parse(update[0].body)["friends"].asString(), "14@b.test");
  EXPECT_EQ(IsFriend("14"), "1");
  EXPECT_EQ(users.Friends(), (std::vector<std::string>{"14@b.test"}));
  ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_REPORT_FRIENDNOTIFY).has_value());

  // Nobody new: nothing sent.
  Post(a.Url("/navigation/user/checkmobile.do"), R"({"mobiles": "0000"})");
  EXPECT_EQ(a.Requests(kUpdatePath).size(), 1u);
}

// The friend checks store a user as a friend only when the server made the user one;
// a refused updatefriend.do stores and announces nothing.
TEST_F(FriendsTest, CheckedFriendsAreStoredOnlyWhenTheServerMadeThemFriends) {
  users.AddUser(MakeUser("14", "b.test"));
  users.AddUser(MakeUser("15", "b.test"));
  const struct {
    const char* name;
    const char* path;
    const char* body;
    const char* id;
    int refusal;  // the code updatefriend.do answers with, 0: accepted
  } rows[] = {
      {"check by account, refused", "/navigation/user/checkaccount.do", "{}", "14", -2},
      {"check by number, refused", "/navigation/user/checkmobile.do", R"({"mobiles": "138000015"})",
       "15", -3},
      {"check by account, accepted", "/navigation/user/checkaccount.do", "{}", "14", 0},
      {"check by number, accepted", "/navigation/user/checkmobile.do",
       R"({"mobiles": "138000015"})", "15", 0},
  };
  // The server's own friend list is what checkaccount.do reports.
  users.SetFriend("14@b.test");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string account = std::string(row.id) + "@b.test";
    const size_t updates = a.Requests(kUpdatePath).size();
    const size_t details = b.Requests(kDetailList).size();
    const size_t events = Events(_EVENT_REPORT_FRIENDNOTIFY);
    if (row.refusal != 0) users.ScriptCode(kUpdatePath, row.refusal);
    EXPECT_EQ(Post(a.Url(row.path), row.body).a, 0);
    EXPECT_EQ(a.Requests(kUpdatePath).size(), updates + 1);
    if (row.refusal != 0) {
      EXPECT_EQ(IsFriend(row.id), "");
      EXPECT_EQ(CachedFriend(account), -1);
      EXPECT_EQ(b.Requests(kDetailList).size(), details);
      EXPECT_EQ(Events(_EVENT_REPORT_FRIENDNOTIFY), events);
    } else {
      EXPECT_EQ(IsFriend(row.id), "1");
      EXPECT_EQ(CachedFriend(account), 1);
      ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_REPORT_FRIENDNOTIFY, events + 1));
    }
  }
}

// Removal, remark and black list are applied locally only when the server took them.
TEST_F(FriendsTest, ChangesFollowTheServersAnswer) {
  KnownFriend("12", "a.test", 1);
  users.SetFriend("12@a.test");
  users.ScriptCode("/userinfo/user/removefriend.do", -2);
  Post(a.Url("/userinfo/user/removefriend.do"), R"({"account": "12@a.test"})");
  EXPECT_EQ(IsFriend("12"), "1");
  EXPECT_EQ(CachedFriend("12@a.test"), 1);
  Post(a.Url("/userinfo/user/removefriend.do"), R"({"account": "12@a.test"})");
  EXPECT_EQ(IsFriend("12"), "0");
  EXPECT_EQ(CachedFriend("12@a.test"), 0);
  // A hostile account is never put into the statement.
  users.SetFriend("1 or 1=1@a.test");
  Post(a.Url("/userinfo/user/removefriend.do"), R"({"account": "1 or 1=1@a.test"})");
  EXPECT_EQ(One("select count(*) from nq_contact"), "1");

  users.ScriptCode("/userinfo/user/setremark.do", -2);
  Post(a.Url("/userinfo/user/setremark.do"), R"({"friend": "12@a.test", "name": "Refused"})");
  EXPECT_EQ(One("select count(*) from nq_remark"), "0");
  Post(a.Url("/userinfo/user/setremark.do"), R"({"friend": "12@a.test", "name": "O'Brien"})");
  EXPECT_EQ(One("select name from nq_remark where account='12@a.test'"), "O'Brien");
  EXPECT_EQ(users.Remarks()["12@a.test"], "O'Brien");

  users.ScriptCode("/userinfo/user/setblack.do", -2);
  Post(a.Url("/userinfo/user/setblack.do"), R"({"adduser": "12@a.test"})");
  EXPECT_STREQ(api.GetBlackList(), "");
  Post(a.Url("/userinfo/user/setblack.do"), R"({"adduser": "12@a.test"})");
  EXPECT_STREQ(api.GetBlackList(), "12@a.test");
  Post(a.Url("/userinfo/user/setblack.do"), R"({"adduser": "9@group.a.test"})");
  EXPECT_STREQ(api.GetBlackList(), "12@a.test,9@group.a.test");
  EXPECT_EQ(api.GetDatabaseManager()->GetSaveInfo(1, "BLACK"), "12@a.test,9@group.a.test");
}

TEST(BlackListTest, WholeEntriesOnly) {
  struct Row {
    const char* list;
    const char* account;
    bool blocked;
  } rows[] = {
      {"112@d", "12@d", false},     {"12@d", "12@d", true},
      {"112@d,12@d", "12@d", true}, {"12@d,3@e", "3@e", true},
      {"12@dx", "12@d", false},     {"", "12@d", false},
      {"12@d", "", false},          {",12@d,", "12@d", true},
      {"12@d", "2@d", false},       {"9@group.d", "9@group.d", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.list) + " / " + row.account);
    EXPECT_EQ(TUserService::InBlackList(row.list, row.account), row.blocked);
  }
}

}  // namespace
