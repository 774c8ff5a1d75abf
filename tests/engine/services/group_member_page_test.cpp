// Member pages (getuser) merged into the local member list: after a full pass over
// the pages the stored members equal the server's, renames, additions and members
// who left included, and owners and other groups are never touched by the cleanup.
#include <gtest/gtest.h>
#include <json/json.h>

#include <string>

#include "engine/services/group_test_env.h"

namespace {

using grouptest::kOwn;
using GroupMemberPageTest = grouptest::GroupEnv;

constexpr char kG[] = "7@group.tesmo.x";

class MemberPages : public GroupMemberPageTest {
 protected:
  // Every page from the start; the number of pages.
  int LoadAllPages() {
    int fromid = 0;
    int pages = 0;
    do {
      Json::Value a = Args("getuser", kG);
      a["fromid"] = fromid;
      RecordedReport r = Command(a);
      EXPECT_EQ(r.a, 0) << r.text;
      Json::Value result = Parse(r.text)["result"];
      EXPECT_EQ(result["cmd"].asString(), "OK");
      fromid = result["endid"].asInt();
      ++pages;
    } while (fromid != 0 && pages < 10);
    return pages;
  }
  std::string ServerMembers() {
    std::vector<std::string> rows;
    for (const auto& m : groups.GetGroup(kG).members)
      rows.push_back(m.account + ":" + m.nick + ":3 ");
    std::sort(rows.begin(), rows.end());
    std::string out;
    for (auto& r : rows) out += r;
    return out;
  }
};

TEST_F(MemberPages, TwoPagesWithRenameAdditionAndStaleMember) {
  FakeGroupServer::Group g;
  g.groupid = kG;
  groups.AddGroup(g);
  groups.SetPageSize(2);
  for (const char* account : {"11@tesmo.x", "12@tesmo.x", "13@tesmo.x", "14@tesmo.x"})
    groups.AddMember(kG, {account, std::string("n") + account, 3});
  users.Add("12@tesmo.x", "Twelve", 1, 3);
  // The owner is not in the member pages; the cleanup leaves owners alone, and
  // members of other groups too.
  ASSERT_TRUE(Exec("insert into nq_groupuser(groupid,account,nick,role) values('" +
                   std::string(kG) +
                   "','1001@tesmo.x','Me',1),('other@group.tesmo.x','13@tesmo.x','x',3)"));

  EXPECT_EQ(LoadAllPages(), 2);
  EXPECT_EQ(Members(kG), std::string("1001@tesmo.x:Me:1 ") + ServerMembers());
  EXPECT_EQ(SelectOne("select champflag from nq_groupuser where account='12@tesmo.x'"), "3");
  EXPECT_EQ(GroupRow(kG, "userversion"), std::to_string(groups.GetGroup(kG).userversion));

  // On the server: 12 renamed, 13 (between the two pages) left, 15 joined.
  groups.RenameMember(kG, "12@tesmo.x", "Renamed 'twelve'");
  groups.RemoveMember(kG, "13@tesmo.x");
  groups.AddMember(kG, {"15@tesmo.x", "n15", 3});
  EXPECT_EQ(LoadAllPages(), 2);
  EXPECT_EQ(Members(kG), std::string("1001@tesmo.x:Me:1 ") + ServerMembers());
  EXPECT_EQ(Members("other@group.tesmo.x"), "13@tesmo.x:x:3 ");

  // The last member leaves: the last page reaches past the highest member it saw.
  groups.RemoveMember(kG, "15@tesmo.x");
  EXPECT_EQ(LoadAllPages(), 2);
  EXPECT_EQ(Members(kG), std::string("1001@tesmo.x:Me:1 ") + ServerMembers());
}

TEST_F(MemberPages, AnswerListsEveryMemberOfThePage) {
  FakeGroupServer::Group g;
  g.groupid = kG;
  groups.AddGroup(g);
  groups.AddMember(kG, {"21@tesmo.x", "a", 3});
  groups.AddMember(kG, {"22@tesmo.x", "b", 3});
  users.Add("22@tesmo.x", "Bee", 1, 1);
  RecordedReport r = Command(Args("getuser", kG));
  ASSERT_EQ(r.a, 0);
  Json::Value result = Parse(r.text)["result"];
  EXPECT_EQ(result["transid"].asString(), "T-getuser");
  EXPECT_EQ(result["endid"].asInt(), 0);
  EXPECT_EQ(result["version"].asInt(), groups.GetGroup(kG).userversion);
  ASSERT_EQ(result["member"].size(), 2u);
  EXPECT_EQ(result["member"][0]["account"].asString(), "21@tesmo.x");
  EXPECT_EQ(result["member"][0]["nick"].asString(), "a");
  EXPECT_EQ(result["member"][1]["name"].asString(), "Bee");
  EXPECT_EQ(result["member"][1]["champflag"].asInt(), 1);
  EXPECT_EQ(KeyOrder(r.text.substr(r.text.find("\"result\"")), result),
            (std::vector<std::string>{"cmd", "transid", "version", "endid", "member"}));
}

}  // namespace
