// Detail lists fetched per domain from two loopback user servers: one request per
// domain, what is stored, what the caller gets back, and the skip rules.
#include <json/json.h>

#include <chrono>
#include <thread>

#include "db/TDatabaseLock.h"
#include "user_test_env.h"
#include "util/TJsonHelper.h"

namespace {

using usertest::MakeUser;
using usertest::UserEnv;

constexpr char kDetailList[] = "/userinfo/user/getdetaillist.do";

class DetailListTest : public UserEnv {
 protected:
  // GetDetailList on a worker; the reply's a is its result, the text the packet's s4
  // (which starts as "untouched").
  RecordedReport Fetch(const std::string& accounts, int isfriend) {
    return OnWorker([accounts, isfriend](TUserService& user, TAPIPacket* p) {
      p->s4 = "untouched";
      return user.GetDetailList(p, accounts, isfriend);
    });
  }
  std::vector<std::string> ArrayIds(const std::string& text) {
    Json::Value root = TJsonHelper::Parse(text);
    std::vector<std::string> ids;
    for (const Json::Value& e : root["result"]["array"]) ids.push_back(e["userid"].asString());
    return ids;
  }
  std::string Contact(const std::string& id, const std::string& column) {
    return One("select " + column + " from nq_contact where userid=" + id);
  }
};

TEST_F(DetailListTest, OneRequestPerDomainInDomainOrder) {
  users.AddUser(MakeUser("12", "a.test", 3));
  users.AddUser(MakeUser("13", "a.test"));
  users.AddUser(MakeUser("14", "b.test"));
  // b's account first: the requests still go out by domain, a before b.
  RecordedReport r = Fetch("14@b.test,12@a.test,13@a.test", 0);
  EXPECT_EQ(r.a, 1);

  auto onA = a.Requests(kDetailList);
  auto onB = b.Requests(kDetailList);
  ASSERT_EQ(onA.size(), 1u);
  ASSERT_EQ(onB.size(), 1u);
  Json::Value bodyA = TJsonHelper::Parse(onA[0].body);
  EXPECT_EQ(bodyA["userids"].asString(), "12,13");
  EXPECT_FALSE(bodyA["transid"].asString().empty());
  EXPECT_EQ(TJsonHelper::Parse(onB[0].body)["userids"].asString(), "14");

  Json::Value reply = TJsonHelper::Parse(r.text);
  EXPECT_EQ(reply["code"].asInt(), 1);
  EXPECT_EQ(reply["msg"].asString(), "OK");
  EXPECT_EQ(reply["result"]["count"].asInt(), 3);
  EXPECT_EQ(ArrayIds(r.text), (std::vector<std::string>{"12", "13", "14"}));

  // Rows and cache: the mobile deciphered, texts with quotes intact.
  EXPECT_EQ(Contact("12", "account"), "12@a.test");
  EXPECT_EQ(Contact("12", "mobile"), "138000012");
  EXPECT_EQ(Contact("12", "summary"), "it's 12");
  EXPECT_EQ(Contact("12", "version"), "3");
  EXPECT_EQ(Contact("12", "isfriend"), "0");
  EXPECT_EQ(Contact("14", "name"), "User 14");
  EXPECT_EQ(std::string(api.GetUserInfo("14@b.test", 0)), "User 14");
  EXPECT_EQ(api.ExistUser("13@a.test"), 1);
  // The entries reach the caller as the server sent them: "mobile" still enciphered.
  Json::Value first = reply["result"]["array"][0];
  EXPECT_NE(first["mobile"].asString(), "138000012");
  EXPECT_FALSE(first["mobile"].asString().empty());
}

TEST_F(DetailListTest, ADomainDownLosesOnlyItsUsers) {
  users.AddUser(MakeUser("12", "a.test"));
  users.AddUser(MakeUser("14", "b.test"));
  b.Stop();
  RecordedReport r = Fetch("12@a.test,14@b.test", 1);
  EXPECT_EQ(r.a, 0);
  EXPECT_EQ(ArrayIds(r.text), (std::vector<std::string>{"12"}));
  EXPECT_EQ(Contact("12", "isfriend"), "1");
  EXPECT_EQ(One("select count(*) from nq_contact where userid=14"), "0");
}

TEST_F(DetailListTest, BothDomainsDownGiveAnEmptyList) {
  a.Route(kDetailList, FakeReply::Text(500, "down"));
  b.Stop();
  RecordedReport r = Fetch("12@a.test,14@b.test", 0);
  EXPECT_EQ(r.a, 0);
  EXPECT_EQ(r.text, R"({"code": 1,"msg": "OK","result":{"count": 0}})");
}

TEST_F(DetailListTest, ListsWithoutDomainsSendNothing) {
  for (const char* accounts : {"", "12", "12,13", ","}) {
    SCOPED_TRACE(accounts);
    RecordedReport r = Fetch(accounts, 0);
    EXPECT_EQ(r.a, 1);
    EXPECT_EQ(r.text, "untouched");
  }
  EXPECT_EQ(a.Requests(kDetailList).size() + b.Requests(kDetailList).size(), 0u);
}

TEST_F(DetailListTest, ACountOfZeroStoresNothing) {
  Json::Value entry(Json::objectValue);
  entry["userid"] = "12";
  entry["account"] = "12@a.test";
  a.Route(kDetailList, FakeReply::Json(R"({"code": 1, "result": {"count": 0, "array": [)" +
                                       Json::FastWriter().write(entry) + "]}}"));
  RecordedReport r = Fetch("12@a.test", 0);
  EXPECT_EQ(r.a, 1);
  EXPECT_EQ(r.text, R"({"code": 1,"msg": "OK","result":{"count": 0}})");
  EXPECT_EQ(One("select count(*) from nq_contact"), "0");
}

TEST_F(DetailListTest, FriendStateAndVersionDecideWhatIsWritten) {
  // A known friend stays a friend when fetched as a non-friend.
  users.AddUser(MakeUser("12", "a.test", 2));
  core->GetContactCache()->Set("12@a.test", "Old", "", "", "", 1, 1, 0);
  Fetch("12@a.test", 0);
  EXPECT_EQ(Contact("12", "isfriend"), "1");
  EXPECT_EQ(Contact("12", "name"), "User 12");

  // A cached non-friend at version 5 and an entry at version 5: not written again...
  users.AddUser(MakeUser("13", "a.test", 5));
  core->GetContactCache()->Set("13@a.test", "Cached", "", "", "", 0, 5, 0);
  Fetch("13@a.test", 0);
  EXPECT_EQ(One("select count(*) from nq_contact where userid=13"), "0");
  EXPECT_EQ(std::string(api.GetUserInfo("13@a.test", 0)), "Cached");
  // ...but fetched as a friend it is, with isfriend 1.
  Fetch("13@a.test", 1);
  EXPECT_EQ(Contact("13", "isfriend"), "1");
  EXPECT_EQ(std::string(api.GetUserInfo("13@a.test", 0)), "User 13");
}

// What the cache holds counts as stored: a user whose row could not be written is not
// cached, so the next fetch writes it, and whoever finds a user cached finds its row.
TEST_F(DetailListTest, AUserIsCachedOnlyOnceItsRowIsStored) {
  users.AddUser(MakeUser("12", "a.test", 2));
  users.AddUser(MakeUser("13", "a.test", 2));
  ASSERT_EQ(api.DBExecSql("create trigger refuse12 before insert on nq_contact "
                          "when new.userid=12 begin select raise(abort,'refused'); end"),
            1);
  Fetch("12@a.test,13@a.test", 1);
  EXPECT_EQ(One("select count(*) from nq_contact where userid=12"), "0");
  EXPECT_EQ(api.ExistUser("12@a.test"), 0);
  EXPECT_EQ(Contact("13", "isfriend"), "1");
  EXPECT_EQ(api.ExistUser("13@a.test"), 1);

  ASSERT_EQ(api.DBExecSql("drop trigger refuse12"), 1);
  Fetch("12@a.test,13@a.test", 1);
  EXPECT_EQ(Contact("12", "isfriend"), "1");
  EXPECT_EQ(Contact("12", "version"), "2");
  EXPECT_EQ(api.ExistUser("12@a.test"), 1);

  // The same for one user's details.
  users.AddUser(MakeUser("14", "a.test", 1));
  ASSERT_EQ(api.DBExecSql("create trigger refuse14 before insert on nq_contact "
                          "when new.userid=14 begin select raise(abort,'refused'); end"),
            1);
  const std::string detail = a.Url("/userinfo/user/getdetail.do");
  Post(detail, R"({"account": "14@a.test"})");
  EXPECT_EQ(api.ExistUser("14@a.test"), 0);
  ASSERT_EQ(api.DBExecSql("drop trigger refuse14"), 1);
  Post(detail, R"({"account": "14@a.test"})");
  EXPECT_EQ(Contact("14", "name"), "User 14");
  EXPECT_EQ(api.ExistUser("14@a.test"), 1);
}

// A friend sync and a detail list storing the same user at once: whichever stores
// first, the user stays a friend in the table and in the cache.
TEST_F(DetailListTest, StoresOfOneUserSideBySideKeepAFriend) {
  auto reply = [](int id) {
    const std::string user = std::to_string(id);
    return R"({"code": 1, "result": {"count": 1, "array": [{"userid": ")" + user +
           R"(", "account": ")" + user + R"(@a.test", "name": "Both", "userversion": 1}]}})";
  };
  constexpr int kRounds = 20;
  OnWorker([&](TUserService& user, TAPIPacket*) {
    for (int id = 100; id < 100 + kRounds; ++id) {
      // Both wait on the database lock, then go in either order.
      LockDatabase();
      std::thread asFriend([&] {
        std::string entries;
        int count = 0;
        user.StoreDetailList(nullptr, reply(id), 1, &entries, &count);
      });
      std::thread asStranger([&] {
        std::string entries;
        int count = 0;
        user.StoreDetailList(nullptr, reply(id), 0, &entries, &count);
      });
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      UnlockDatabase();
      asFriend.join();
      asStranger.join();
    }
    return 0;
  });
  for (int id = 100; id < 100 + kRounds; ++id) {
    SCOPED_TRACE(id);
    EXPECT_EQ(Contact(std::to_string(id), "isfriend"), "1");
    EXPECT_TRUE(core->GetContactCache()->FindFriend(std::to_string(id) + "@a.test").has_value());
  }
}

TEST_F(DetailListTest, MobileIsStoredDecipheredOrEmpty) {
  auto user = MakeUser("12", "a.test");
  user.mobile = "+86 138'0000";
  users.AddUser(user);
  Fetch("12@a.test", 0);
  EXPECT_EQ(Contact("12", "mobile"), "+86 138'0000");

  // A value that does not decipher is stored as the empty text.
  a.Route(kDetailList,
          FakeReply::Json(R"({"code": 1, "result": {"count": 1, "array": [)"
                          R"({"userid": "15", "account": "15@a.test", "mobile": "zz-not-cipher",)"
                          R"( "name": "Fifteen", "userversion": 1}]}})"));
  Fetch("15@a.test", 0);
  EXPECT_EQ(Contact("15", "name"), "Fifteen");
  EXPECT_EQ(Contact("15", "mobile"), "");
}

TEST_F(DetailListTest, AHostileUserIdIsRefusedAndTheOthersStored) {
  testing::internal::CaptureStdout();
  a.Route(kDetailList,
          FakeReply::Json(R"({"code": 1, "result": {"count": 2, "array": [)"
                          R"({"userid": "1);drop table nq_message;--", "account": "x@a.test"},)"
                          R"({"userid": "16", "account": "16@a.test", "name": "Sixteen"}]}})"));
  RecordedReport r = Fetch("16@a.test", 0);
  std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(r.a, 1);
  EXPECT_EQ(Contact("16", "name"), "Sixteen");
  EXPECT_EQ(One("select count(*) from nq_contact"), "1");
  EXPECT_EQ(One("select count(*) from sqlite_master where name='nq_message'"), "1");
  EXPECT_EQ(api.ExistUser("x@a.test"), 0);
  EXPECT_NE(printed.find("refused id"), std::string::npos);
}

TEST_F(DetailListTest, TheProgramsDetailListRequestRunsHere) {
  users.AddUser(MakeUser("12", "a.test"));
  users.AddUser(MakeUser("14", "b.test"));
  const std::string url = a.Url(kDetailList);

  // A GET has no body, so no accounts: no exchange at all, a = 0, and still 100010.
  RecordedReport got = Get(url);
  EXPECT_EQ(got.a, 0);
  EXPECT_EQ(got.text, "");
  EXPECT_EQ(a.Requests(kDetailList).size(), 0u);
  ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_REPORT_FRIENDNOTIFY).has_value());

  // A POST names its accounts: fetched per domain, answered with the combined list.
  RecordedReport posted = Post(url, R"({"accounts": "12@a.test,14@b.test"})");
  EXPECT_EQ(posted.a, 0);
  EXPECT_EQ(ArrayIds(posted.text), (std::vector<std::string>{"12", "14"}));
  EXPECT_EQ(a.Requests(kDetailList).size(), 1u);
  EXPECT_EQ(b.Requests(kDetailList).size(), 1u);
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_REPORT_FRIENDNOTIFY, 2));
  for (const auto& e : CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_FRIENDNOTIFY)) {
    EXPECT_EQ(e.a, 0);
    EXPECT_EQ(e.id, 0);
    EXPECT_EQ(e.text, "");
  }
}

TEST_F(DetailListTest, StoreDetailKeepsAFriendAndRefusesBadIds) {
  users.AddUser(MakeUser("12", "a.test", 4));
  users.SetFriend("12@a.test");
  // Routed from the program's own getdetail.do request.
  RecordedReport r = Post(a.Url("/userinfo/user/getdetail.do"),
                          R"({"transid": "t", "account": "12@a.test", "isfriend": 0})");
  EXPECT_EQ(r.a, 0);
  EXPECT_EQ(Contact("12", "isfriend"), "1");
  EXPECT_EQ(Contact("12", "mobile"), "138000012");

  // Not a friend on the server, but known as one here: stays a friend.
  users.AddUser(MakeUser("13", "a.test"));
  core->GetContactCache()->Set("13@a.test", "x", "", "", "", 1, 0, 0);
  Post(a.Url("/userinfo/user/getdetail.do"), R"({"account": "13@a.test"})");
  EXPECT_EQ(Contact("13", "isfriend"), "1");

  // Refused replies and bad ids store nothing.
  OnWorker([](TUserService& user, TAPIPacket*) {
    user.StoreDetail(R"({"code": -5})");
    user.StoreDetail(R"({"code": 1, "result": {"userid": "", "account": "17@a.test"}})");
    user.StoreDetail(R"({"code": 1, "result": {"userid": "0 or 1=1", "account": "18@a.test"}})");
    user.StoreDetail("not json");
    return 0;
  });
  EXPECT_EQ(One("select count(*) from nq_contact"), "2");
}

}  // namespace
