// Member pages (getuser) merged into the local member list: after a full pass over
// the pages the stored members equal the server's, renames, additions and members
// who left included, and owners and other groups are never touched by the cleanup.
#include <gtest/gtest.h>
#include <json/json.h>

#include <string>
#include <vector>

#include "engine/services/group_test_env.h"
#include "services/TGroupRecord.h"
#include "services/TGroupStore.h"

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

// The pages list everyone in the group, the owner and managers too: their stored
// roles stay, and a member first seen on a page is a plain member.
TEST_F(MemberPages, OwnerAndManagersKeepTheirRoles) {
  FakeGroupServer::Group g;
  g.groupid = kG;
  groups.AddGroup(g);
  groups.SetPageSize(2);
  groups.AddMember(kG, {"1001@tesmo.x", "Me", 1});
  groups.AddMember(kG, {"12@tesmo.x", "n12", 2});
  groups.AddMember(kG, {"13@tesmo.x", "n13", 3});
  ASSERT_TRUE(Exec("insert into nq_groupuser(groupid,account,nick,role) values('" +
                   std::string(kG) + "','1001@tesmo.x','Me',1),('" + kG +
                   "','12@tesmo.x','n12',2)"));
  EXPECT_EQ(LoadAllPages(), 2);
  EXPECT_EQ(Members(kG), "1001@tesmo.x:Me:1 12@tesmo.x:n12:2 13@tesmo.x:n13:3 ");
}

// A page names members in the server's order, not in the order of the stored rows:
// stale members go only at the end of a pass that began at the first page and saw
// every page of one version of the list, and never one a later page names or one
// stored while the pass ran. Those that stay keep their read marks.
TEST_F(MemberPages, StaleMembersGoOnlyAtTheEndOfACompletePass) {
  groups.SetPageSize(2);
  enum Step { kFirstPage, kRestOfPass, kSecondPageAlone, kStoredMeanwhile, kListChanges };
  const struct {
    const char* name;
    const char* group;
    std::vector<Step> steps;
    const char* members;  // stored afterwards: user id and read mark, in account order
  } rows[] = {
      {"the first page alone", "71@group.tesmo.x", {kFirstPage}, "11:5 12:5 13:5 14:5 19:5 "},
      {"a whole pass", "72@group.tesmo.x", {kFirstPage, kRestOfPass}, "11:5 12:5 13:5 14:5 "},
      {"a later page without the first",
       "73@group.tesmo.x",
       {kSecondPageAlone},
       "11:5 12:5 13:5 14:5 19:5 "},
      {"a member stored while the pass runs",
       "74@group.tesmo.x",
       {kFirstPage, kStoredMeanwhile, kRestOfPass},
       "11:5 12:5 13:5 14:5 20:0 "},
      {"the list changes during the pass",
       "75@group.tesmo.x",
       {kFirstPage, kListChanges, kRestOfPass},
       "11:5 12:5 13:5 14:5 19:5 "},
  };
  auto page = [&](const std::string& group, int fromid) {
    Json::Value a = Args("getuser", group);
    a["fromid"] = fromid;
    RecordedReport r = Command(a);
    EXPECT_EQ(r.a, 0) << r.text;
    return Parse(r.text)["result"]["endid"].asInt();
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string g = row.group;
    FakeGroupServer::Group group;
    group.groupid = g;
    groups.AddGroup(group);
    for (const char* id : {"11", "12", "13", "14"})
      groups.AddMember(g, {std::string(id) + "@tesmo.x", std::string("n") + id, 3});
    // Stored earlier, in another order than the server's, read up to message 5; 19
    // has left since.
    for (const char* id : {"13", "14", "19", "11", "12"}) {
      ASSERT_TRUE(
          Exec("insert into nq_groupuser(groupid,account,nick,role,msgid,entrytime,"
               "userversion) values('" +
               g + "','" + id + "@tesmo.x','n" + id + "',3,5,'2024-01-01 08:00:00',0)"));
    }
    int next = 0;
    for (Step step : row.steps) {
      switch (step) {
        case kFirstPage:
          next = page(g, 0);
          break;
        case kRestOfPass:
          while (next != 0) next = page(g, next);
          break;
        case kSecondPageAlone:
          page(g, groups.GetGroup(g).members[2].id);
          break;
        case kStoredMeanwhile:
          ASSERT_TRUE(Exec("insert into nq_groupuser(groupid,account,nick,role) values('" + g +
                           "','20@tesmo.x','n20',3)"));
          break;
        case kListChanges:
          groups.RenameMember(g, "11@tesmo.x", "n11");
          break;
      }
    }
    std::string members;
    for (const auto& m : Select("select account,msgid,entrytime from nq_groupuser where groupid='" +
                                g + "' order by account")) {
      members += m[0].substr(0, m[0].find('@')) + ":" + m[1] + " ";
      if (m[1] == "5") {
        EXPECT_EQ(m[2], "2024-01-01 08:00:00") << m[0];
      }
    }
    EXPECT_EQ(members, row.members);
  }
}

// A member is one row whatever comes first: a join stored while a member page is on
// its way (its details being fetched) is updated by the page, never stored again.
TEST_F(MemberPages, AMemberIsNeverStoredTwice) {
  const struct {
    const char* name;
    const char* group;
    bool joinMeanwhile;  // a join of 13 is stored while the page fetches details
    int commands;        // getuser commands run
  } rows[] = {
      {"a join while the page is fetched", "81@group.tesmo.x", true, 1},
      {"a join, then the page twice", "82@group.tesmo.x", true, 2},
      {"the page twice", "83@group.tesmo.x", false, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string g = row.group;
    FakeGroupServer::Group group;
    group.groupid = g;
    groups.AddGroup(group);
    groups.AddMember(g, {"12@tesmo.x", "Twelve", 3});
    groups.AddMember(g, {"13@tesmo.x", "Thirteen", 3});
    bool joined = false;
    // The join names the list's version: no cleanup takes the row for a stale one.
    const int version = groups.GetGroup(g).userversion;
    http.Handle("/userinfo/user/getdetaillist.do", [&](const FakeRequest&) {
      if (row.joinMeanwhile && !joined) {
        joined = true;
        TGroupMemberRecord m;
        m.groupid = g;
        m.account = "13@tesmo.x";
        m.nick = "joined";
        m.role = 3;
        m.userversion = version;
        EXPECT_GT(TGroupStore::UpsertMember(m), 0);
      }
      return FakeReply::Json(R"({"code":1,"msg":"OK","result":{"count":0}})");
    });
    for (int i = 0; i < row.commands; ++i) {
      RecordedReport r = Command(Args("getuser", g));
      EXPECT_EQ(r.a, 0) << r.text;
    }
    EXPECT_EQ(Members(g), "12@tesmo.x:Twelve:3 13@tesmo.x:Thirteen:3 ");
  }
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
