// Group notices in chat messages as the own account sees them: rewritten, passed,
// dropped or flagged, by kind, affected accounts, own id and own role.
#include <gtest/gtest.h>
#include <json/json.h>

#include <string>

#include "core/TEngineCore.h"
#include "engine/db/StoreTestSupport.h"
#include "services/TGroupStore.h"
#include "services/TMessageService.h"

namespace {

constexpr char kOwn[] = "12@d";
constexpr char kGroup[] = "77@group.d";

class GroupNoticeTest : public storetest::FacadeTest {
 protected:
  void SetUp() override {
    FacadeTest::SetUp();
    TEngineCore::Instance()->SetUserAccount("12", kOwn);
  }
  void SetOwnRole(int role) {
    ASSERT_TRUE(Exec("delete from nq_groupuser"));
    if (role > 0) {
      ASSERT_TRUE(Exec("insert into nq_groupuser(groupid,account,role) values('" +
                       std::string(kGroup) + "','" + kOwn + "'," + std::to_string(role) + ")"));
    }
  }
};

Json::Value ParseObject(const std::string& text) {
  Json::Value v;
  Json::Reader().parse(text, v);
  return v;
}

TEST_F(GroupNoticeTest, KindTable) {
  const std::string g = kGroup;
  struct Row {
    const char* what;
    std::string content;
    int ownRole;       // 0: no row
    std::string want;  // "same", "" (dropped) or the expected rewritten object
    int wantFlag;
  } rows[] = {
      {"addeduser of others",
       R"({"notify":"addeduser","groupid":")" + g +
           R"(","recvusers":"112@d,120@d","userid":"5@d"})",
       3, "same", 0},
      {"addeduser of own id",
       R"({"notify":"addeduser","groupid":")" + g +
           R"(","groupname":"G","logo":"L","recvusers":"112@d, 12@d","userid":"5@d","nick":"Bo"})",
       3,
       R"({"notify":"add","groupid":")" + g +
           R"(","groupname":"G","logo":"L","userid":"5@d","nick":"Bo"})",
       0},
      {"addeduser with parent",
       R"({"notify":"addeduser","groupid":")" + g +
           R"(","groupname":"G","logo":"L","parentid":"P","parentname":"PN","parentlogo":"PL","recvusers":"12@d","userid":"5@d","nick":"Bo"})",
       3,
       R"({"notify":"add","groupid":")" + g +
           R"(","groupname":"G","logo":"L","parentid":"P","parentname":"PN","parentlogo":"PL","userid":"5@d","nick":"Bo"})",
       0},
      {"removeuser of 112@d is not of 12@d",
       R"({"notify":"removeuser","groupid":")" + g + R"(","recvusers":"112@d","userid":"5@d"})", 3,
       "same", 0},
      {"removeuser of own id",
       R"({"notify":"removeuser","groupid":")" + g +
           R"(","recvusers":"3@d,12@d","userid":"5@d","nick":"Bo"})",
       3, R"({"notify":"remove","groupid":")" + g + R"(","userid":"5@d","nick":"Bo"})", 1},
      {"remove", R"({"notify":"remove","groupid":")" + g + R"("})", 3, "same", 1},
      {"approval for owner", R"({"notify":"approval","groupid":")" + g + R"("})", 1, "same", 0},
      {"approval for manager", R"({"notify":"approval","groupid":")" + g + R"("})", 2, "same", 0},
      {"approval for member", R"({"notify":"approval","groupid":")" + g + R"("})", 3, "", 0},
      {"approval for non-member", R"({"notify":"approval","groupid":")" + g + R"("})", 0, "", 0},
      {"changeowner to own id",
       R"({"notify":"changeowner","groupid":")" + g +
           R"(","userid":"5@d","nick":"Bo","members":[{"id":"12@d","nick":"Me"}]})",
       3, R"({"notify":"grantowner","groupid":")" + g + R"(","userid":"5@d","nick":"Bo"})", 0},
      {"changeowner to 112@d",
       R"({"notify":"changeowner","groupid":")" + g +
           R"(","userid":"5@d","members":[{"id":"112@d","nick":"X"}]})",
       3, "same", 0},
      {"changeowner by own id",
       R"({"notify":"changeowner","groupid":")" + g +
           R"(","userid":"12@d","members":[{"id":"12@d"}]})",
       1, "same", 0},
      {"changeadmin to own id",
       R"({"notify":"changeadmin","groupid":")" + g +
           R"(","userid":"5@d","nick":"Bo","members":"12@d"})",
       3, R"({"notify":"grantadmin","groupid":")" + g + R"(","userid":"5@d","nick":"Bo"})", 0},
      {"changemember to own id",
       R"({"notify":"changemember","groupid":")" + g +
           R"(","userid":"5@d","members":[{"id":"12@d"}]})",
       2, R"({"notify":"grantmember","groupid":")" + g + R"(","userid":"5@d","nick":""})", 0},
      {"banuser own",
       R"({"notify":"banuser","groupid":")" + g +
           R"(","userid":"5@d","nick":"Bo","recvusers":"12@d"})",
       3, R"({"notify":"ban","groupid":")" + g + R"(","userid":"5@d","nick":"Bo"})", 0},
      {"banuser 212@d", R"({"notify":"banuser","groupid":")" + g + R"(","recvusers":"212@d"})", 3,
       "same", 0},
      {"allowuser own",
       R"({"notify":"allowuser","groupid":")" + g + R"(","userid":"5@d","recvusers":"12@d"})", 3,
       R"({"notify":"allow","groupid":")" + g + R"(","userid":"5@d","nick":""})", 0},
      {"unknown kind naming own id",
       R"({"notify":"set","groupid":")" + g + R"(","recvusers":"12@d"})", 3, "same", 0},
      {"not JSON", "12@d removeuser", 3, "same", 0},
      {"empty", "", 3, "same", 0},
  };
  for (const Row& r : rows) {
    SetOwnRole(r.ownRole);
    int flag = 0;
    std::string got = TMessageService::RewriteGroupNotice(kGroup, kGroup, r.content, &flag);
    if (r.want == "same") {
      EXPECT_EQ(got, r.content) << r.what;
    } else if (r.want.empty()) {
      EXPECT_EQ(got, "") << r.what;
    } else {
      EXPECT_EQ(ParseObject(got), ParseObject(r.want)) << r.what << "\n" << got;
      // Fields in the stated order, one object.
      Json::Value want = ParseObject(r.want);
      size_t at = 0;
      for (const std::string& key :
           std::vector<std::string>{"notify", "groupid", "userid", "nick"}) {
        if (!want.isMember(key)) continue;
        size_t pos = got.find("\"" + key + "\"");
        EXPECT_NE(pos, std::string::npos) << r.what;
        EXPECT_GE(pos, at) << r.what << " key " << key;
        at = pos;
      }
      EXPECT_EQ(got.rfind("{\n", 0), 0u) << r.what;
    }
    EXPECT_EQ(flag, r.wantFlag) << r.what;
  }
}

TEST_F(GroupNoticeTest, DestroyMarksGroupLeftAndFlags) {
  ASSERT_TRUE(
      Exec("insert into nq_group(groupid,groupstate) values('" + std::string(kGroup) + "',0)"));
  const std::string content = R"({"notify":"destroy","groupid":")" + std::string(kGroup) + R"("})";
  int flag = 0;
  EXPECT_EQ(TMessageService::RewriteGroupNotice(kGroup, kGroup, content, &flag), content);
  EXPECT_EQ(flag, 1);
  EXPECT_EQ(SelectOne("select groupstate from nq_group"), "1");
}

TEST_F(GroupNoticeTest, OtherConversationPassesUntouched) {
  ASSERT_TRUE(
      Exec("insert into nq_group(groupid,groupstate) values('" + std::string(kGroup) + "',0)"));
  const std::string content = R"({"notify":"destroy","groupid":")" + std::string(kGroup) + R"("})";
  int flag = 7;
  EXPECT_EQ(TMessageService::RewriteGroupNotice("other@group.d", kGroup, content, &flag), content);
  EXPECT_EQ(flag, 7);
  EXPECT_EQ(SelectOne("select groupstate from nq_group"), "0");
  const std::string approval =
      R"({"notify":"approval","groupid":")" + std::string(kGroup) + R"("})";
  EXPECT_EQ(TMessageService::RewriteGroupNotice("", kGroup, approval, &flag), approval);
}

}  // namespace
