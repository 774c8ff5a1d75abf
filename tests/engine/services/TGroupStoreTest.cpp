// The group store on a real account database: only given fields are written, new
// rows get usable defaults and one change event, members come and go by role, read
// states, the stale-member window, and hostile texts.
#include <gtest/gtest.h>

#include <string>

#include "TAPIInterface.h"
#include "engine/db/StoreTestSupport.h"
#include "services/TGroupStore.h"
#include "support/CallbackRecorder.h"

namespace {

constexpr char kGroup[] = "3003@group.tesmo.x";

std::string Joined(const std::vector<std::string>& values) {
  std::string out;
  for (size_t i = 0; i < values.size(); ++i) out += (i ? "|" : "") + values[i];
  return out;
}

class GroupStoreTest : public storetest::FacadeTest {
 protected:
  void SetUp() override {
    FacadeTest::SetUp();
    CallbackRecorder::Get().Clear();
    api->SetCallBack(&CallbackRecorder::Callback);
  }
  std::string Group(const std::string& columns, const std::string& id = kGroup) {
    auto rows =
        Select("select " + columns + " from nq_group where groupid=" + storetest::Quote(id));
    if (rows.empty()) return "<none>";
    return Joined(rows[0]);
  }
  std::string Member(const std::string& account, const std::string& columns,
                     const std::string& id = kGroup) {
    auto rows =
        Select("select " + columns + " from nq_groupuser where groupid=" + storetest::Quote(id) +
               " and account=" + storetest::Quote(account));
    if (rows.empty()) return "<none>";
    return Joined(rows[0]);
  }
  size_t ChangeEvents() {
    return CallbackRecorder::Get().ReportsWith(_EVENT_COME_GROUPNOTIFY).size();
  }
  static TGroupMemberRecord M(const std::string& account, int role = -1) {
    TGroupMemberRecord m;
    m.groupid = kGroup;
    m.account = account;
    m.role = role;
    return m;
  }
};

TEST_F(GroupStoreTest, NewGroupGetsUsableDefaultsAndOneChangeEvent) {
  TGroupRecord g;
  g.groupid = kGroup;
  g.groupname = "Traders";
  g.usercount = 4;
  EXPECT_EQ(TGroupStore::UpsertGroup(g), 1);
  // Not-given flags are stored as 0, never -1; the state stays as given.
  EXPECT_EQ(Group("groupname,usercount,type,banall,banurl,banpic,banchat,banmsg,banscreenshot,"
                  "banuser,title,groupstate"),
            "Traders|4|0|0|0|0|0|0|0|0|0|-1");
  auto events = CallbackRecorder::Get().ReportsWith(_EVENT_COME_GROUPNOTIFY);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].text, "{\"notify\":\"groupchange\"}");
  EXPECT_EQ(events[0].a, 0);
  EXPECT_EQ(events[0].id, 0);

  // An update raises nothing and writes only what is given.
  TGroupRecord u;
  u.groupid = kGroup;
  u.banpic = 1;
  u.groupstate = 0;
  EXPECT_EQ(TGroupStore::UpsertGroup(u), 1);
  EXPECT_EQ(Group("groupname,usercount,banpic,groupstate"), "Traders|4|1|0");
  EXPECT_EQ(ChangeEvents(), 1u);

  // Nothing given: no statement, still done.
  TGroupRecord none;
  none.groupid = kGroup;
  EXPECT_EQ(TGroupStore::UpsertGroup(none), 1);
  EXPECT_EQ(Group("groupname,usercount,banpic,groupstate"), "Traders|4|1|0");

  TGroupRecord empty;
  EXPECT_EQ(TGroupStore::UpsertGroup(empty), 0);
  EXPECT_EQ(SelectOne("select count(*) from nq_group"), "1");
}

TEST_F(GroupStoreTest, GivenFieldsTable) {
  TGroupRecord seed;
  seed.groupid = kGroup;
  seed.groupname = "n";
  seed.groupinfo = "info";
  seed.hasGroupinfo = 1;
  seed.version = 3;
  seed.type = 2;
  seed.title = 1;
  ASSERT_EQ(TGroupStore::UpsertGroup(seed), 1);
  struct Row {
    const char* what;
    void (*fill)(TGroupRecord*);
    const char* columns;
    const char* want;
  } rows[] = {
      {"empty name is not given", [](TGroupRecord* g) { g->groupname = ""; }, "groupname", "n"},
      {"info given empty clears it", [](TGroupRecord* g) { g->hasGroupinfo = 1; }, "groupinfo", ""},
      {"info without flag stays", [](TGroupRecord* g) { g->groupinfo = "x"; }, "groupinfo", ""},
      {"version 0 not given", [](TGroupRecord* g) { g->version = 0; }, "version", "3"},
      {"type 0 is given", [](TGroupRecord* g) { g->type = 0; }, "type", "0"},
      {"title -1 not given", [](TGroupRecord* g) { g->title = -1; }, "title", "1"},
      {"quotes kept whole", [](TGroupRecord* g) { g->groupname = "it's'; drop table nq_group;--"; },
       "groupname", "it's'; drop table nq_group;--"},
      {"all bans",
       [](TGroupRecord* g) {
         g->banall = 1;
         g->banurl = 1;
         g->banpic = 0;
         g->banchat = 1;
         g->banmsg = 1;
         g->banscreenshot = 1;
         g->banuser = 1;
       },
       "banall,banurl,banpic,banchat,banmsg,banscreenshot,banuser", "1|1|0|1|1|1|1"},
  };
  for (const Row& r : rows) {
    TGroupRecord g;
    g.groupid = kGroup;
    r.fill(&g);
    EXPECT_EQ(TGroupStore::UpsertGroup(g), 1) << r.what;
    EXPECT_EQ(Group(r.columns), r.want) << r.what;
  }
  EXPECT_EQ(SelectOne("select count(*) from nq_group"), "1");
}

TEST_F(GroupStoreTest, EmptyParentMakesTopLevelAndRebuildsChildPaths) {
  ASSERT_TRUE(
      Exec("insert into nq_group(groupid,parentid,path) values('p@g','top@g','/top@g/p@g'),"
           "('c1@g','p@g','/top@g/p@g/c1@g'),('c2@g','p@g','old'),('x@g','other','keep')"));
  TGroupRecord g;
  g.groupid = "p@g";
  g.hasParentid = 1;
  g.path = "/p@g";
  EXPECT_EQ(TGroupStore::UpsertGroup(g), 1);
  EXPECT_EQ(Group("parentid,path", "p@g"), "|/p@g");
  EXPECT_EQ(Group("path", "c1@g"), "/p@g/c1@g");
  EXPECT_EQ(Group("path", "c2@g"), "/p@g/c2@g");
  EXPECT_EQ(Group("path", "x@g"), "keep");
}

TEST_F(GroupStoreTest, MemberLifeByRole) {
  // Unknown member with role 0: nothing to remove.
  EXPECT_EQ(TGroupStore::UpsertMember(M("1@u", 0)), 0);
  EXPECT_EQ(Member("1@u", "role"), "<none>");
  // A new member without a role is a plain member.
  TGroupMemberRecord m = M("1@u");
  m.nick = "O'Neil";
  m.entrytime = "2024-01-02 03:04:05";
  const int rowid = TGroupStore::UpsertMember(m);
  EXPECT_GT(rowid, 0);
  EXPECT_EQ(Member("1@u", "nick,role,entrytime,champflag,rowid"),
            "O'Neil|3|2024-01-02 03:04:05|0|" + std::to_string(rowid));
  // Known member: only given fields; the 64-bit read time and message id kept whole.
  TGroupMemberRecord u = M("1@u");
  u.msgid = 5000000123LL;
  u.msgtime = 1717243200123LL;
  u.champflag = 2;
  EXPECT_EQ(TGroupStore::UpsertMember(u), rowid);
  EXPECT_EQ(Member("1@u", "nick,role,msgid,msgtime,champflag"),
            "O'Neil|3|5000000123|1717243200123|2");
  // Nothing given: no statement, the rowid still comes back.
  EXPECT_EQ(TGroupStore::UpsertMember(M("1@u")), rowid);
  // Role 0 deletes.
  EXPECT_EQ(TGroupStore::UpsertMember(M("1@u", 0)), 0);
  EXPECT_EQ(Member("1@u", "role"), "<none>");
  TGroupMemberRecord empty;
  EXPECT_EQ(TGroupStore::UpsertMember(empty), 0);
  // Nobody named: no row.
  EXPECT_EQ(TGroupStore::UpsertMember(M("", 3)), 0);
  EXPECT_EQ(SelectOne("select count(*) from nq_groupuser"), "0");
}

TEST_F(GroupStoreTest, StatementBuilders) {
  TGroupMemberRecord nothing = M("2@u");
  EXPECT_EQ(TGroupStore::BuildMemberUpdateSql(nothing), "");
  TGroupMemberRecord removal = M("2@u", 0);
  EXPECT_EQ(TGroupStore::BuildMemberUpdateSql(removal),
            "delete from nq_groupuser where groupid='3003@group.tesmo.x' and account='2@u'");
  TGroupMemberRecord rename = M("2@u", 3);
  rename.nick = "a'b";
  EXPECT_EQ(TGroupStore::BuildMemberUpdateSql(rename),
            "update nq_groupuser set nick='a''b',role='3' where groupid='3003@group.tesmo.x' and "
            "account='2@u'");
  TGroupMemberRecord insert = M("2@u");
  EXPECT_NE(TGroupStore::BuildMemberInsertSql(&insert), "");
  EXPECT_EQ(insert.role, 3);
  TGroupMemberRecord insert0 = M("2@u", 0);
  EXPECT_EQ(TGroupStore::BuildMemberInsertSql(&insert0), "");
  TGroupMemberRecord noGroup;
  noGroup.role = 3;
  EXPECT_EQ(TGroupStore::BuildMemberInsertSql(&noGroup), "");

  // The upsert builder asks the database which statement applies.
  EXPECT_EQ(TGroupStore::BuildMemberUpsertSql(M("2@u", 0)), "");
  std::string ins = TGroupStore::BuildMemberUpsertSql(M("2@u", 2));
  EXPECT_EQ(ins.rfind("insert into nq_groupuser", 0), 0u) << ins;
  ASSERT_TRUE(Exec(ins));
  EXPECT_EQ(TGroupStore::BuildMemberUpsertSql(M("2@u")), "");
  EXPECT_EQ(TGroupStore::BuildMemberUpsertSql(M("2@u", 1)).rfind("update nq_groupuser", 0), 0u);
  EXPECT_EQ(Member("2@u", "role"), "2");

  std::string list;
  EXPECT_EQ(TGroupStore::AppendAssignment(&list, "a", "1"), 1);
  EXPECT_EQ(TGroupStore::AppendAssignment(&list, "b", "x'y"), 1);
  EXPECT_EQ(list, "a='1',b='x''y'");
}

TEST_F(GroupStoreTest, LookupsAndLeaving) {
  TGroupMemberRecord q = M("9@u");
  q.nick = "stale";
  q.role = 7;
  EXPECT_EQ(TGroupStore::GetMemberNickRole(&q), 0);
  EXPECT_EQ(q.nick, "");
  EXPECT_EQ(q.role, 0);
  TGroupMemberRecord owner = M("9@u", 1);
  owner.nick = "boss";
  ASSERT_GT(TGroupStore::UpsertMember(owner), 0);
  TGroupMemberRecord r = M("9@u");
  EXPECT_EQ(TGroupStore::GetMemberNickRole(&r), 0);
  EXPECT_EQ(r.nick, "boss");
  EXPECT_EQ(r.role, 1);
  EXPECT_EQ(TGroupStore::GetMemberRole(kGroup, "9@u"), 1);
  EXPECT_EQ(TGroupStore::GetMemberRole(kGroup, "19@u"), 0);
  EXPECT_EQ(TGroupStore::GetMemberRole(kGroup, "9@u' or '1'='1"), 0);

  TMemberMap map;
  EXPECT_EQ(TGroupStore::LoadMemberMap(kGroup, &map), 0);
  ASSERT_EQ(map.size(), 1u);
  EXPECT_EQ(map["9@u"].nick, "boss");
  EXPECT_GT(map["9@u"].rowid, 0);

  TGroupRecord g;
  g.groupid = kGroup;
  g.groupstate = 0;
  ASSERT_EQ(TGroupStore::UpsertGroup(g), 1);
  EXPECT_EQ(TGroupStore::MarkGroupLeft(kGroup), 0);
  EXPECT_EQ(Group("groupstate"), "1");
}

TEST_F(GroupStoreTest, MessageReaders) {
  struct Row {
    int usercount;
    int want;
    int wantUnread;
  } rows[] = {{10, 2, 7}, {1000, 2, 997}, {1001, -2, -99}};
  for (const Row& r : rows) {
    ASSERT_TRUE(Exec("delete from nq_group; delete from nq_groupuser"));
    ASSERT_TRUE(Exec("insert into nq_group(groupid,usercount) values('" + std::string(kGroup) +
                     "'," + std::to_string(r.usercount) + ")"));
    ASSERT_TRUE(Exec("insert into nq_groupuser(groupid,account,msgid) values('" +
                     std::string(kGroup) + "','a@u',5000000010),('" + kGroup +
                     "','b@u',5000000020),('" + kGroup +
                     "','c@u',5000000009),('other','d@u',9e12)"));
    std::string accounts = "x@u";
    int unread = -99;
    EXPECT_EQ(TGroupStore::GetMessageReaders(kGroup, 5000000010LL, &accounts, &unread), r.want);
    EXPECT_EQ(unread, r.wantUnread);
    EXPECT_EQ(accounts, "x@u,a@u,b@u");
  }
  std::string none;
  int unread = 0;
  EXPECT_EQ(TGroupStore::GetMessageReaders("nobody", 1, &none, &unread), 0);
  EXPECT_EQ(none, "");
}

TEST_F(GroupStoreTest, PruneWindowKeepsRefreshedOwnersAndOtherGroups) {
  // rowid order: s1(stale) k2(fresh) s3(stale) a4(admin, stale) s5(stale), x in another group.
  ASSERT_TRUE(
      Exec("insert into nq_groupuser(groupid,account,role,userversion) values"
           "('3003@group.tesmo.x','s1',3,1),('3003@group.tesmo.x','k2',3,2),"
           "('3003@group.tesmo.x','s3',3,1),('3003@group.tesmo.x','a4',2,1),"
           "('3003@group.tesmo.x','s5',3,1),('other','x',3,1)"));
  auto accounts = [&] {
    std::string out;
    for (auto& row : Select("select account from nq_groupuser order by rowid")) out += row[0] + " ";
    return out;
  };
  TMemberWindow w;
  w.groupid = kGroup;
  w.lowRowid = 1;
  w.highRowid = 5;
  w.userversion = 2;
  EXPECT_EQ(TGroupStore::PruneMemberWindow(w), 0);
  EXPECT_EQ(accounts(), "s1 k2 a4 s5 x ");
  w.lowRowid = 0;
  EXPECT_EQ(TGroupStore::PruneMemberWindow(w), 0);
  EXPECT_EQ(accounts(), "k2 a4 s5 x ");
  w.highRowid = 0;  // open at the top
  EXPECT_EQ(TGroupStore::PruneMemberWindow(w), 0);
  EXPECT_EQ(accounts(), "k2 a4 x ");
  TMemberWindow empty;
  EXPECT_EQ(TGroupStore::PruneMemberWindow(empty), 0);
}

TEST_F(GroupStoreTest, HostileTextsStayData) {
  const std::string hostile[] = {"'",   "''",   "a'); delete from nq_group;--",
                                 "\\'", "%s%d", "x' or '1'='1"};
  for (const std::string& h : hostile) {
    TGroupRecord g;
    g.groupid = h;
    g.groupname = h;
    g.surl = h;
    ASSERT_EQ(TGroupStore::UpsertGroup(g), 1) << h;
    TGroupMemberRecord m;
    m.groupid = h;
    m.account = h;
    m.nick = h;
    ASSERT_GT(TGroupStore::UpsertMember(m), 0) << h;
    EXPECT_EQ(Group("groupname,surl", h), h + "|" + h);
    EXPECT_EQ(Member(h, "nick", h), h);
    EXPECT_EQ(TGroupStore::MarkGroupLeft(h), 0);
  }
  EXPECT_EQ(SelectOne("select count(*) from nq_group"), "6");
  EXPECT_EQ(SelectOne("select count(*) from nq_groupuser"), "6");
  EXPECT_EQ(SelectOne("select count(*) from nq_group where groupstate=1"), "6");
}

}  // namespace
