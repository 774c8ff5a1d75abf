// Pushed group notifications: the group tables after each kind, the result that
// decides the 100009 report, and the reported text that always names the group.
#include <gtest/gtest.h>
#include <json/json.h>

#include <string>

#include "core/TEngineCore.h"
#include "engine/db/StoreTestSupport.h"
#include "net/TIMPacket.h"
#include "services/TGroupProcessor.h"

namespace {

constexpr char kOwn[] = "12@d";
constexpr char kG[] = "7@group.d";

class GroupNotifyTest : public storetest::FacadeTest {
 protected:
  void SetUp() override {
    FacadeTest::SetUp();
    TEngineCore::Instance()->SetUserAccount("12", kOwn);
  }
  // The store as one text: every group row, then every member row.
  std::string State() {
    std::string out;
    for (auto& r : Select("select groupid,groupname,grouplogo,parentid,path,usercount,groupstate,"
                          "type,banall,banurl,banpic,banchat,banmsg,banscreenshot,banuser "
                          "from nq_group order by groupid"))
      out += "G[" + Join(r) + "] ";
    for (auto& r : Select("select groupid,account,nick,role,msgid from nq_groupuser order by "
                          "groupid,account"))
      out += "M[" + Join(r) + "] ";
    return out;
  }
  static std::string Join(const std::vector<std::string>& r) {
    std::string out;
    for (size_t i = 0; i < r.size(); ++i) out += (i ? "," : "") + r[i];
    return out;
  }
  int Notify(const std::string& content, std::string* text, const std::string& to = kG) {
    TIMPacket packet;
    packet.SetTo(to);
    packet.AddParam("time", "1717243200000");
    packet.AddParam("content", content);
    return TGroupProcessor(TEngineCore::Instance()->GetRequestService())
        .OnGroupNotify(packet, text);
  }
};

TEST_F(GroupNotifyTest, KindTable) {
  // Each row starts from the same store: the group with three members (own role
  // given per row), a child group and another group.
  const std::string base =
      "insert into nq_group(groupid,groupname,parentid,path,usercount,groupstate,type,banall,"
      "banurl,banpic,banchat,banmsg,banscreenshot,banuser) values"
      "('7@group.d','Seven','','/7@group.d',3,0,0,0,0,0,0,0,0,0),"
      "('8@group.d','Child','7@group.d','/7@group.d/8@group.d',2,0,0,0,0,0,0,0,0,0);"
      "insert into nq_groupuser(groupid,account,nick,role) values"
      "('7@group.d','5@d','Five',1),('7@group.d','112@d','Other',3)";
  const std::string G7 = "G[7@group.d,Seven,,,/7@group.d,3,0,0,0,0,0,0,0,0,0] ";
  const std::string G8 = "G[8@group.d,Child,,7@group.d,/7@group.d/8@group.d,2,0,0,0,0,0,0,0,0,0] ";
  const std::string M5 = "M[7@group.d,5@d,Five,1,0] ";
  const std::string M112 = "M[7@group.d,112@d,Other,3,0] ";
  struct Row {
    const char* what;
    std::string content;
    int ownRole;  // 0: the own account is no member
    int want;
    std::string state;
  } rows[] = {
      {"unknown kind", R"({"notify":"wave","userid":"5@d"})", 3, 1,
       G7 + G8 + M112 + "M[7@group.d,12@d,,3,0] " + M5},
      {"not JSON", "hello", 3, 1, G7 + G8 + M112 + "M[7@group.d,12@d,,3,0] " + M5},
      {"msgack empty", R"({"notify":"msgack","msgids":{}})", 0, 1, G7 + G8 + M112 + M5},
      {"msgack without msgids", R"({"notify":"msgack"})", 0, 0, G7 + G8 + M112 + M5},
      {"join of another member",
       R"({"notify":"join","userid":"9@d","nick":"Nine","membercount":4,"groupname":"X"})", 0, 1,
       "G[7@group.d,Seven,,,/7@group.d,4,0,0,0,0,0,0,0,0,0] " + G8 + M112 + M5 +
           "M[7@group.d,9@d,Nine,3,0] "},
      {"join of own account",
       R"({"notify":"join","userid":"12@d","nick":"Me","membercount":4,"groupname":"New","logo":"L","type":2,"banpic":1,"parentid":"6@group.d","parentname":"Six","parentlogo":"P6"})",
       0, 1,
       "G[6@group.d,Six,P6,,,0,-1,0,0,0,0,0,0,0,0] "
       "G[7@group.d,New,L,6@group.d,/7@group.d,4,0,2,0,0,1,0,0,0,0] " +
           G8 + M112 + "M[7@group.d,12@d,Me,3,0] " + M5},
      {"leave", R"({"notify":"leave","userid":"112@d","membercount":2})", 0, 1,
       "G[7@group.d,Seven,,,/7@group.d,2,0,0,0,0,0,0,0,0,0] " + G8 + M5},
      {"removeuser by whole ids",
       R"({"notify":"removeuser","members":[{"id":"112@d"}],"membercount":2})", 3, 1,
       "G[7@group.d,Seven,,,/7@group.d,2,0,0,0,0,0,0,0,0,0] " + G8 + "M[7@group.d,12@d,,3,0] " +
           M5},
      {"nick", R"({"notify":"nick","userid":"112@d","nick":"O'Brien"})", 0, 1,
       G7 + G8 + "M[7@group.d,112@d,O'Brien,3,0] " + M5},
      {"approval for owner", R"({"notify":"approval"})", 1, 1,
       G7 + G8 + M112 + "M[7@group.d,12@d,,1,0] " + M5},
      {"approval for manager", R"({"notify":"approval"})", 2, 1,
       G7 + G8 + M112 + "M[7@group.d,12@d,,2,0] " + M5},
      {"approval for member", R"({"notify":"approval"})", 3, 0,
       G7 + G8 + M112 + "M[7@group.d,12@d,,3,0] " + M5},
      {"approval for non-member", R"({"notify":"approval"})", 0, 0, G7 + G8 + M112 + M5},
      {"changeowner", R"({"notify":"changeowner","members":[{"id":"112@d","nick":"Other"}]})", 0, 1,
       G7 + G8 + "M[7@group.d,112@d,Other,1,0] " + M5},
      {"changeadmin", R"({"notify":"changeadmin","members":[{"id":"112@d"}]})", 0, 1,
       G7 + G8 + "M[7@group.d,112@d,Other,2,0] " + M5},
      {"changemember", R"({"notify":"changemember","members":[{"id":"5@d"}]})", 0, 1,
       G7 + G8 + M112 + "M[7@group.d,5@d,Five,3,0] "},
      {"changeadmin without members", R"({"notify":"changeadmin"})", 0, 1, G7 + G8 + M112 + M5},
      {"add of own account",
       R"({"notify":"add","groupname":"Seven+","membercount":4,"time":"2024-06-01 10:00:00"})", 0,
       1,
       "G[7@group.d,Seven+,,,/7@group.d,4,0,0,0,0,0,0,0,0,0] " + G8 + M112 +
           "M[7@group.d,12@d,,3,0] " + M5},
      {"remove", R"({"notify":"remove"})", 3, 1,
       "G[7@group.d,Seven,,,/7@group.d,3,1,0,0,0,0,0,0,0,0] " + G8 + M112 +
           "M[7@group.d,12@d,,3,0] " + M5},
      {"destroy", R"({"notify":"destroy"})", 0, 1,
       "G[7@group.d,Seven,,,/7@group.d,3,1,0,0,0,0,0,0,0,0] " + G8 + M112 + M5},
      {"release", R"({"notify":"release","child":[{"groupid":"8@group.d"}]})", 0, 1,
       G7 + "G[8@group.d,Child,,,/8@group.d,2,0,0,0,0,0,0,0,0,0] " + M112 + M5},
      {"released", R"({"notify":"released","parent":[{"groupid":"7@group.d"}]})", 0, 1,
       G7 + G8 + M112 + M5},
      {"released empty", R"({"notify":"released","parent":[]})", 0, 1, G7 + G8 + M112 + M5},
      {"set", R"({"notify":"set","groupname":"Renamed","type":1})", 0, 1,
       "G[7@group.d,Renamed,,,/7@group.d,3,0,1,0,0,0,0,0,0,0] " + G8 + M112 + M5},
      {"ban", R"({"notify":"ban","userid":"5@d"})", 0, 1,
       "G[7@group.d,Seven,,,/7@group.d,3,0,0,0,0,0,0,0,0,1] " + G8 + M112 + M5},
      {"groupban", R"({"notify":"groupban","banall":1,"banscreenshot":1})", 0, 1,
       "G[7@group.d,Seven,,,/7@group.d,3,0,0,1,0,0,0,0,1,0] " + G8 + M112 + M5},
      {"allowall", R"({"notify":"allowall"})", 0, 1, G7 + G8 + M112 + M5},
  };
  for (const Row& row : rows) {
    ASSERT_TRUE(Exec("delete from nq_group; delete from nq_groupuser"));
    ASSERT_TRUE(Exec(base));
    if (row.ownRole > 0) {
      ASSERT_TRUE(Exec("insert into nq_groupuser(groupid,account,role) values('7@group.d','12@d'," +
                       std::to_string(row.ownRole) + ")"));
    }
    std::string text;
    EXPECT_EQ(Notify(row.content, &text), row.want) << row.what;
    EXPECT_EQ(State(), row.state) << row.what;
  }
}

// "join" of a member already in the group is its new nick: an owner or manager keeps
// its role; a newcomer, or the own account back in a group it had left, is a member.
TEST_F(GroupNotifyTest, JoinOfAMemberKeepsItsRole) {
  struct Row {
    const char* what;
    const char* userid;
    int storedRole;  // 0: no row
    int groupstate;
    int want;
  } rows[] = {
      {"own owner renames", kOwn, 1, 0, 1},
      {"own manager renames", kOwn, 2, 0, 2},
      {"own member renames", kOwn, 3, 0, 3},
      {"own account joins", kOwn, 0, 0, 3},
      {"own owner row of a left group", kOwn, 1, 1, 3},
      {"another manager renames", "5@d", 2, 0, 2},
      {"another owner renames", "5@d", 1, 0, 1},
      {"another newcomer", "5@d", 0, 0, 3},
  };
  for (const Row& row : rows) {
    ASSERT_TRUE(Exec("delete from nq_group; delete from nq_groupuser"));
    ASSERT_TRUE(Exec("insert into nq_group(groupid,groupname,usercount,groupstate) values('" +
                     std::string(kG) + "','Seven',3," + std::to_string(row.groupstate) + ")"));
    if (row.storedRole > 0) {
      ASSERT_TRUE(Exec("insert into nq_groupuser(groupid,account,nick,role) values('" +
                       std::string(kG) + "','" + row.userid + "','Old'," +
                       std::to_string(row.storedRole) + ")"));
    }
    std::string text;
    EXPECT_EQ(Notify(std::string(R"({"notify":"join","userid":")") + row.userid +
                         R"(","nick":"New","membercount":3})",
                     &text),
              1)
        << row.what;
    EXPECT_EQ(SelectOne("select nick||','||role from nq_groupuser where account='" +
                        std::string(row.userid) + "'"),
              "New," + std::to_string(row.want))
        << row.what;
  }
}

TEST_F(GroupNotifyTest, ReadMarksOfMembers) {
  ASSERT_TRUE(Exec("insert into nq_groupuser(groupid,account,role) values('7@group.d','5@d',3)"));
  std::string text;
  EXPECT_EQ(Notify(R"({"notify":"msgack","msgids":{"5@d":5000000001,"6@d":7}})", &text), 1);
  EXPECT_EQ(SelectOne("select msgid from nq_groupuser where account='5@d'"), "5000000001");
  EXPECT_EQ(SelectOne("select msgid||','||role from nq_groupuser where account='6@d'"), "7,3");
}

TEST_F(GroupNotifyTest, ReportedTextNamesTheGroup) {
  struct Row {
    std::string content;
    std::string groupid;  // expected "groupid" of the reported text; "" when not JSON
  } rows[] = {
      {R"({"notify":"join","userid":"9@d"})", kG},
      {R"({"notify":"set","groupid":"other@group.d"})", "other@group.d"},
      {"{}", kG},
      {" { \"notify\" : \"ban\" } ", kG},
  };
  for (const Row& row : rows) {
    std::string text;
    Notify(row.content, &text);
    Json::Value v;
    ASSERT_TRUE(Json::Reader().parse(text, v)) << text;
    EXPECT_EQ(v["groupid"].asString(), row.groupid) << text;
    Json::Value original;
    Json::Reader().parse(row.content, original);
    for (const std::string& key : original.getMemberNames())
      EXPECT_EQ(v[key], original[key]) << text;
  }
  std::string text;
  EXPECT_EQ(Notify("not json", &text), 1);
  EXPECT_EQ(text, "not json");
}

}  // namespace
