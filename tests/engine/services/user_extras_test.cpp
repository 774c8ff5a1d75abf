// Red packets, the account search and recommendations through the loopback user
// servers.
#include <json/json.h>

#include "user_test_env.h"
#include "util/TJsonHelper.h"

namespace {

using usertest::MakeUser;
using usertest::UserEnv;

constexpr char kCreate[] = "/redpacket/create.do";
constexpr char kGrad[] = "/redpacket/grad.do";
constexpr char kSearch[] = "/navigation/user/searchaccount.do";
constexpr char kDetail[] = "/userinfo/user/getdetail.do";
constexpr char kRecommend[] = "/public/info/recommend.do";

class ExtrasTest : public UserEnv {
 protected:
  storetest::Rows RedRows() {
    return Rows("select redkey,userid,redtype,state,finish,reason,amount,crtime from nq_redlist");
  }
  std::string Recommend(const std::string& reply) {
    a.Route(kRecommend, FakeReply::Json(reply));
    return Get(a.Url(kRecommend)).text;
  }
};

TEST_F(ExtrasTest, CreateThenGradLeavesOneRowWithTheGradValues) {
  RecordedReport created = Post(a.Url(kCreate), R"({"type": 2, "amount": "8.88"})");
  EXPECT_EQ(created.a, 0);
  EXPECT_EQ(RedRows(),
            (storetest::Rows{{"rk1", "1001", "2", "0", "0", "0", "", "2024-06-01 12:34:56"}}));
  // The reply reaches the program as the server sent it.
  EXPECT_NE(created.text.find("redtext=rk1"), std::string::npos);

  a.Route(kGrad, FakeReply::Json(R"({"code": 1, "result": {)"
                                 R"("gradurl": "http://127.0.0.1/redpacket/open.do?redtext=rk1",)"
                                 R"( "type": 2, "state": 1, "finish": 1, "cruserid": "2002",)"
                                 R"( "gradmoney": "3.50", "crtime": "2024-06-01 12:34:56"}})"));
  Post(a.Url(kGrad), R"({"redtext": "rk1"})");
  EXPECT_EQ(RedRows(),
            (storetest::Rows{{"rk1", "2002", "2", "1", "1", "0", "3.50", "2024-06-01 12:34:56"}}));

  // The loopback server's own grad reply for a packet created here.
  users.Mount(a, usertest::kDomainA);
  Post(a.Url(kCreate), R"({"type": 1, "amount": "1.00"})");
  Post(a.Url(kGrad), R"({"redtext": "rk2"})");
  EXPECT_EQ(One("select amount from nq_redlist where redkey='rk2'"), "1.00");
  EXPECT_EQ(One("select count(*) from nq_redlist"), "2");
}

TEST_F(ExtrasTest, RedPacketKeysAndRefusals) {
  struct Row {
    const char* name;
    std::string path;
    std::string reply;
    const char* key;  // the stored key as an SQL literal; "" when nothing is stored
  } rows[] = {
      {"no redtext", kCreate,
       R"({"code": 1, "result": {"gradurl": "http://h/open?x=1", "type": 1}})", ""},
      {"decoded in the middle", kCreate,
       R"({"code": 1, "result": {"gradurl": "http://h/open?redtext=a%27b&x=1", "type": 1}})",
       "'a''b'"},
      {"as sent at the end", kCreate,
       R"({"code": 1, "result": {"gradurl": "http://h/open?x=1&redtext=c%27d", "type": 1}})",
       "'c%27d'"},
      {"refused", kCreate, R"({"code": -1, "result": {"gradurl": "http://h/o?redtext=e"}})", ""},
      {"not JSON", kGrad, "<html>redtext=f</html>", ""},
      {"hostile creator", kGrad,
       R"({"code": 1, "result": {"gradurl": "http://h/o?redtext=g", "cruserid": "1);drop table nq_redlist;--"}})",
       ""},
      {"creator not given", kGrad, R"({"code": 1, "result": {"gradurl": "http://h/o?redtext=h"}})",
       ""},
  };
  testing::internal::CaptureStdout();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    a.Route(row.path, FakeReply::Json(row.reply));
    RecordedReport r = Post(a.Url(row.path), "{}");
    EXPECT_EQ(r.a, 0);
    EXPECT_EQ(r.text, row.reply);
    if (*row.key) {
      EXPECT_EQ(One("select count(*) from nq_redlist where redkey=" + std::string(row.key)), "1");
    }
  }
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(One("select count(*) from nq_redlist"), "2");
  EXPECT_EQ(One("select count(*) from sqlite_master where name='nq_redlist'"), "1");
}

TEST_F(ExtrasTest, ASearchHitIsFetchedAndStored) {
  users.AddUser(MakeUser("14", "b.test", 3));
  RecordedReport r = Post(a.Url(kSearch), R"({"transid": "t", "text": "138000014"})");
  EXPECT_EQ(r.a, 0);
  auto detail = a.Requests(kDetail);
  ASSERT_EQ(detail.size(), 1u);
  Json::Value body = TJsonHelper::Parse(detail[0].body);
  EXPECT_EQ(body["account"].asString(), "14@b.test");
  EXPECT_EQ(body["isfriend"].asInt(), 0);
  // The program gets the detail reply, and the user is stored.
  EXPECT_EQ(TJsonHelper::Parse(r.text)["result"]["userid"].asString(), "14");
  EXPECT_EQ(One("select name from nq_contact where userid=14"), "User 14");
  EXPECT_EQ(One("select isfriend from nq_contact where userid=14"), "0");

  // Not found: the search reply as it came, no further request.
  RecordedReport none = Post(a.Url(kSearch), R"({"text": "nobody"})");
  EXPECT_EQ(TJsonHelper::Parse(none.text)["code"].asInt(), -5);
  EXPECT_EQ(a.Requests(kDetail).size(), 1u);
  a.Route(kSearch, FakeReply::Json(R"({"code": 1, "result": {}})"));
  RecordedReport empty = Post(a.Url(kSearch), "{}");
  EXPECT_EQ(empty.text, R"({"code": 1, "result": {}})");
  EXPECT_EQ(a.Requests(kDetail).size(), 1u);

  // The detail fetch fails: the search reply stays, and a stays 0.
  a.Route(kSearch, FakeReply::Json(R"({"code": 1, "result": {"account": "14@b.test"}})"));
  a.Route(kDetail, FakeReply::Text(500, "down"));
  RecordedReport failed = Post(a.Url(kSearch), "{}");
  EXPECT_EQ(failed.a, 0);
  EXPECT_EQ(failed.text, R"({"code": 1, "result": {"account": "14@b.test"}})");
}

TEST_F(ExtrasTest, RecommendationsAreFilteredAgainstLocalGroupsAndFriends) {
  ASSERT_EQ(api.DBExecSql("insert into nq_group(groupid) values('g1@group.a.test')"), 1);
  ASSERT_EQ(api.DBExecSql("insert into nq_group(groupid) values('g2@group.a.test')"), 1);
  ASSERT_EQ(api.DBExecSql("insert into nq_group(groupid) values('g3@group.a.test')"), 1);
  ASSERT_EQ(
      api.DBExecSql("insert into nq_contact(userid,account,isfriend) values(12,'12@a.test',1)"), 1);
  ASSERT_EQ(
      api.DBExecSql("insert into nq_contact(userid,account,isfriend) values(13,'13@a.test',0)"), 1);
  const std::string local = R"({"account": "g1@group.a.test", "name": "G1", "member": 3})";
  struct Row {
    const char* name;
    std::string reply;
    std::string expected;
  } rows[] = {
      {"all groups local, no users",
       R"({"code": 1, "result": {"groupaccount": 3, "useraccount": 0, "groups": [)" + local +
           R"(, {"account": "g2@group.a.test"}, {"account": "g3@group.a.test"}]}})",
       R"({"code": 1,"msg": "OK","result": {"groupaccount": 0,"useraccount": 0}})"},
      {"both counts 0", R"({"code": 1, "result": {"groupaccount": 0, "useraccount": 0}})",
       R"({"code": 1,"msg": "OK","result": {"groupaccount": 0,"useraccount": 0}})"},
      {"mixed",
       R"({"code": 1, "result": {"groupaccount": 2, "useraccount": 3, "groups": [)" + local +
           R"(, {"account": "g9@group.a.test", "name": "G \"9\"", "member": 7, "logo": "l9"}],)"
           R"( "users": [{"account": "12@a.test", "name": "friend"},)"
           R"( {"account": "13@a.test", "name": "N13", "logo": "l13"},)"
           R"( {"account": "14@b.test", "name": "N14"}]}})",
       R"({"code": 1,"msg": "OK","result": {"groupaccount": 1,"useraccount": 2,"groups": [)"
       R"({"account": "g9@group.a.test","name": "G \"9\"","member": 7,"logo": "l9"}],"users": [)"
       R"({"account": "13@a.test","name": "N13","logo": "l13"},)"
       R"({"account": "14@b.test","name": "N14","logo": ""}]}})"},
      {"negative count passed on",
       R"({"code": 1, "result": {"groupaccount": -1, "useraccount": 0}})",
       R"({"code": 1,"msg": "OK","result": {"groupaccount": -1,"useraccount": 0}})"},
      {"refused", R"({"code": 0, "result": {"groupaccount": 1}})",
       R"({"code": 0, "result": {"groupaccount": 1}})"},
      {"not JSON", "<html>", "<html>"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string text = Recommend(row.reply);
    EXPECT_EQ(text, row.expected);
  }
  // Through the loopback server's own reply.
  users.SetRecommendations({{"g1@group.a.test", "G1", "", 3}, {"g5@group.a.test", "G5", "", 2}},
                           {{"12@a.test", "F", "", 0}});
  users.Mount(a, usertest::kDomainA);
  Json::Value reply = TJsonHelper::Parse(Get(a.Url(kRecommend)).text);
  EXPECT_EQ(reply["result"]["groupaccount"].asInt(), 1);
  EXPECT_EQ(reply["result"]["groups"][0]["account"].asString(), "g5@group.a.test");
  EXPECT_EQ(reply["result"]["useraccount"].asInt(), 0);
  EXPECT_FALSE(reply["result"].isMember("users"));
}

}  // namespace
