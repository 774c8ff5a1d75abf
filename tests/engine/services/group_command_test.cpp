// Group commands end to end through GroupCommand: each row checks what reached the
// group server, what the local tables hold afterwards and what the program got.
#include <gtest/gtest.h>
#include <json/json.h>

#include <string>

#include "TAPIInterface.h"
#include "engine/services/group_test_env.h"
#include "fakes/FakeFileStore.h"
#include "services/TGroupProcessor.h"

namespace {

using grouptest::kOwn;
using GroupCommandTest = grouptest::GroupEnv;

constexpr char kG[] = "7@group.tesmo.x";

FakeGroupServer::Group Traders() {
  FakeGroupServer::Group g;
  g.groupid = kG;
  g.groupname = "Traders";
  g.code = "4321";
  g.surl = "http://s/7";
  g.title = 2;
  g.banscreenshot = 1;
  g.banpic = 1;
  return g;
}

TEST_F(GroupCommandTest, CreateStoresAnActiveGroupOwnedByMe) {
  users.Add("2002@tesmo.x", "Bo");
  Json::Value a = Args("create");
  a["groupname"] = "Desk";
  a["type"] = "1";
  a["nick"] = "Boss";
  a["parentid"] = "";
  a["user"][0]["id"] = "2002@tesmo.x";
  a["user"][1]["id"] = "9999@tesmo.x";  // unknown to the user server
  RecordedReport r = Command(a);
  EXPECT_EQ(r.a, 0) << r.text;

  auto create = groups.CreateBodies();
  ASSERT_EQ(create.size(), 1u);
  EXPECT_EQ(create[0]["account"].asString(), kOwn);
  EXPECT_EQ(create[0]["transid"].asString().size(), 34u);
  auto bodies = groups.Bodies();
  ASSERT_EQ(bodies.size(), 1u);
  const std::string id = bodies[0]["groupaccount"].asString();
  EXPECT_EQ(id, "9001@group.tesmo.x");
  EXPECT_EQ(bodies[0]["groupid"].asString(), "9001");
  EXPECT_EQ(bodies[0]["name"].asString(), "Me");
  EXPECT_EQ(bodies[0]["groupname"].asString(), "Desk");
  ASSERT_EQ(bodies[0]["users"].size(), 1u);
  EXPECT_EQ(bodies[0]["users"][0]["account"].asString(), "2002@tesmo.x");
  EXPECT_EQ(bodies[0]["users"][0]["name"].asString(), "Bo");

  // Listed by the program at once: active, plain flags, owned by the own account.
  EXPECT_EQ(GroupRow(id,
                     "groupname,groupstate,type,banall,banurl,banpic,banchat,banmsg,"
                     "banscreenshot,banuser,title,craccount,usercount,path"),
            "Desk|0|0|0|0|0|0|0|0|0|0|1001@tesmo.x|1|/9001@group.tesmo.x");
  EXPECT_EQ(Members(id), "1001@tesmo.x:Boss:1 ");
  Json::Value reply = Parse(r.text);
  EXPECT_EQ(reply["code"].asInt(), 1);
  EXPECT_EQ(reply["result"]["groupid"].asString(), id);
}

TEST_F(GroupCommandTest, CreateRefusedOrIncompleteAtTheLoginServer) {
  struct Row {
    const char* what;
    std::string loginAnswer;
    int want;
  } rows[] = {
      {"login code not 1", R"({"code":-3,"msg":"no"})", 0},
      {"no groupserver", R"({"code":1,"result":{"groupid":"5","groupaccount":"5@group.tesmo.x"}})",
       13},
      {"no groupaccount", R"({"code":1,"result":{"groupid":"5","groupserver":"127.0.0.1:1"}})", 13},
      {"not JSON", "<html>busy</html>", 13},
  };
  for (const Row& row : rows) {
    groups.ScriptCreate(row.loginAnswer);
    RecordedReport r = Command(Args("create"));
    EXPECT_EQ(r.a, row.want) << row.what;
    EXPECT_EQ(r.text, "") << row.what;
  }
  EXPECT_TRUE(groups.Bodies().empty());
  EXPECT_EQ(SelectOne("select count(*) from nq_group"), "0");
  EXPECT_EQ(SelectOne("select count(*) from nq_groupuser"), "0");
}

TEST_F(GroupCommandTest, SetInfoLogoAndName) {
  groups.AddGroup(Traders());
  ASSERT_TRUE(Exec("insert into nq_group(groupid,groupname,groupinfo,groupstate) values('" +
                   std::string(kG) + "','Traders','old info',0)"));
  // A logo that cannot be uploaded: nothing is sent.
  Json::Value bad = Args("set", kG);
  bad["logopath"] = dir.File("missing.png");
  EXPECT_EQ(Command(bad).a, 12);
  EXPECT_TRUE(groups.Bodies().empty());

  // Without "info" the text stays; a new name is stored.
  Json::Value rename = Args("set", kG);
  rename["groupname"] = "Desk 'A'";
  EXPECT_EQ(Command(rename).a, 0);
  EXPECT_EQ(GroupRow(kG, "groupname,groupinfo"), "Desk 'A'|old info");
  // An empty "info" empties it.
  Json::Value clear = Args("set", kG);
  clear["info"] = "";
  RecordedReport r = Command(clear);
  EXPECT_EQ(r.a, 0);
  EXPECT_EQ(GroupRow(kG, "groupname,groupinfo"), "Desk 'A'|");
  EXPECT_EQ(Parse(r.text)["result"]["groupname"].asString(), "Desk 'A'");
  auto bodies = groups.Bodies();
  ASSERT_EQ(bodies.size(), 2u);
  EXPECT_TRUE(bodies[1].isMember("info"));
  EXPECT_EQ(bodies[1]["cmd"].asString(), "set");
  EXPECT_EQ(bodies[1]["device"].asInt(), 2);
}

TEST_F(GroupCommandTest, MessageStatusLocalServerAndLargeGroups) {
  FakeGroupServer::Group g = Traders();
  groups.AddGroup(g);
  groups.AddMember(kG, {kOwn, "Me", 1});
  groups.AddMember(kG, {"2002@tesmo.x", "Bo", 3});
  groups.AddMember(kG, {"3003@tesmo.x", "Cy", 3});
  ASSERT_TRUE(Exec("insert into nq_group(groupid,usercount,groupstate) values('" + std::string(kG) +
                   "',3,0)"));

  // msgid 0: the server is asked; its read marks are stored and the answer rewritten.
  {
    // Read marks on the server's side, through an ack of each member.
    ASSERT_TRUE(Exec("insert into nq_groupuser(groupid,account,role) values('" + std::string(kG) +
                     "','2002@tesmo.x',3),('" + kG + "','3003@tesmo.x',3)"));
  }
  Json::Value ask = Args("msgstatus", kG);
  ask["msgid"] = 0;
  groups.ScriptNext(
      R"({"code":1,"result":{"cmd":"OK","transid":"S1","read":1,"unread":1,"msgids":{"2002@tesmo.x":5000000007}}})");
  RecordedReport server = Command(ask);
  EXPECT_EQ(server.a, 0);
  ASSERT_EQ(groups.Bodies().size(), 1u);
  Json::Value s = Parse(server.text)["result"];
  EXPECT_EQ(s["cmd"].asString(), "OK");
  EXPECT_EQ(s["transid"].asString(), "S1");
  EXPECT_EQ(s["read"].asInt(), 1);
  EXPECT_EQ(s["user"].asString(), "2002@tesmo.x");
  EXPECT_EQ(SelectOne("select msgid from nq_groupuser where account='2002@tesmo.x'"), "5000000007");

  // msgid > 0: answered from the local read marks, nothing sent.
  Json::Value local = Args("msgstatus", kG);
  local["msgid"] = Json::Int64(5000000007LL);
  RecordedReport l = Command(local);
  EXPECT_EQ(l.a, 0);
  EXPECT_EQ(groups.Bodies().size(), 1u);
  Json::Value lr = Parse(l.text)["result"];
  EXPECT_EQ(lr["cmd"].asString(), "OK");
  EXPECT_EQ(lr["transid"].asString(), "T-msgstatus");
  EXPECT_EQ(lr["read"].asInt(), 1);
  EXPECT_EQ(lr["unread"].asInt(), 1);
  EXPECT_EQ(lr["user"].asString(), "2002@tesmo.x");
  EXPECT_EQ(KeyOrder(l.text.substr(l.text.find("\"result\"")), lr),
            (std::vector<std::string>{"cmd", "transid", "read", "unread", "user"}));

  // Over 1000 members there is no local read state.
  ASSERT_TRUE(Exec("update nq_group set usercount=1001"));
  RecordedReport big = Command(local);
  EXPECT_EQ(big.a, 0);
  EXPECT_EQ(Parse(big.text)["result"]["cmd"].asString(), "GROUP_ERR_RESOURCE");
  EXPECT_EQ(Parse(big.text)["result"]["transid"].asString(), "T-msgstatus");
  EXPECT_EQ(groups.Bodies().size(), 1u);
}

TEST_F(GroupCommandTest, AddAndRemoveUsersResolvedThroughTheUserServer) {
  groups.AddGroup(Traders());
  groups.AddMember(kG, {kOwn, "Me", 1});
  users.Add("2002@tesmo.x", "Bo");

  Json::Value unknown = Args("adduser", kG);
  unknown["user"][0]["id"] = "8888@tesmo.x";
  unknown["user"][1]["id"] = "8889@tesmo.x";
  RecordedReport none = Command(unknown);
  EXPECT_EQ(none.a, 14);
  EXPECT_TRUE(groups.Bodies().empty());

  Json::Value add = Args("adduser", kG);
  add["user"][0]["id"] = "2002@tesmo.x";
  add["user"][1]["id"] = "8888@tesmo.x";
  RecordedReport added = Command(add);
  EXPECT_EQ(added.a, 0);
  auto bodies = groups.Bodies();
  ASSERT_EQ(bodies.size(), 1u);
  const Json::Value& b = bodies[0];
  EXPECT_EQ(b["cmd"].asString(), "adduser");
  EXPECT_EQ(b["transid"].asString(), "T-adduser");
  EXPECT_EQ(b["groupid"].asString(), kG);
  EXPECT_EQ(b["reason"].asString(), "");
  EXPECT_EQ(b["language"].asString(), "zh-CN");
  ASSERT_EQ(b["user"].size(), 1u);
  EXPECT_EQ(b["user"][0]["id"].asString(), "2002@tesmo.x");
  EXPECT_EQ(b["user"][0]["name"].asString(), "Bo");
  EXPECT_EQ(Parse(added.text)["result"]["cmd"].asString(), "OK");  // the server's answer

  ASSERT_TRUE(Exec("insert into nq_groupuser(groupid,account,role) values('" + std::string(kG) +
                   "','2002@tesmo.x',3),('" + kG + "','12002@tesmo.x',3)"));
  Json::Value remove = Args("remove", kG);
  remove["reason"] = "";
  remove["user"][0]["id"] = "2002@tesmo.x";
  EXPECT_EQ(Command(remove).a, 0);
  EXPECT_EQ(Members(kG), "12002@tesmo.x::3 ");
  EXPECT_EQ(GroupRow(kG, "usercount"), "1");
}

TEST_F(GroupCommandTest, GetJointListsOnlyActiveLocalGroups) {
  FakeGroupServer::Group a = Traders();
  FakeGroupServer::Group b = Traders();
  b.groupid = "8@group.tesmo.x";
  b.groupname = "Left";
  FakeGroupServer::Group c = Traders();
  c.groupid = "9@group.tesmo.x";
  c.groupname = "Unknown here";
  for (auto* g : {&a, &b, &c}) {
    groups.AddGroup(*g);
    groups.AddMember(g->groupid, {kOwn, "Me", 3});
  }
  ASSERT_TRUE(
      Exec("insert into nq_group(groupid,groupstate) values('7@group.tesmo.x',0),"
           "('8@group.tesmo.x',1)"));
  EXPECT_EQ(Command(Args("getjoint")).a, 15);  // no userid

  Json::Value ask = Args("getjoint");
  ask["userid"] = kOwn;
  RecordedReport r = Command(ask);
  EXPECT_EQ(r.a, 0);
  auto bodies = groups.Bodies();
  ASSERT_EQ(bodies.size(), 1u);
  EXPECT_EQ(bodies[0]["cmd"].asString(), "getupdate");
  EXPECT_EQ(bodies[0]["userid"].asString(), kOwn);
  Json::Value result = Parse(r.text)["result"];
  EXPECT_EQ(result["cmd"].asString(), "OK");
  EXPECT_EQ(result["transid"].asString(), "T-getjoint");
  ASSERT_EQ(result["group"].size(), 1u);
  EXPECT_EQ(result["group"][0]["groupid"].asString(), kG);
  EXPECT_EQ(result["group"][0]["groupname"].asString(), "Traders");
  EXPECT_EQ(result["group"][0]["title"].asInt(), 2);
  EXPECT_EQ(result["group"][0]["membercount"].asInt(), 1);

  // The group server out of reach: an empty list, still a usable answer.
  TEngineCore::Instance()->SetServer("GROUPSERVER", "127.0.0.1:1");
  RecordedReport down = Command(ask);
  EXPECT_EQ(down.a, 0);
  Json::Value empty = Parse(down.text);
  EXPECT_EQ(empty["code"].asInt(), 1);
  EXPECT_EQ(empty["result"]["cmd"].asString(), "OK");
  EXPECT_TRUE(empty["result"]["group"].isArray());
  EXPECT_EQ(empty["result"]["group"].size(), 0u);
}

TEST_F(GroupCommandTest, JoinByCodeThenLeave) {
  FakeGroupServer::Group parent;
  parent.groupid = "6@group.tesmo.x";
  parent.groupname = "Parent";
  parent.logo = "http://p";
  groups.AddGroup(parent);
  FakeGroupServer::Group g = Traders();
  g.parentid = parent.groupid;
  groups.AddGroup(g);
  Json::Value byCode = Args("getbycode");
  byCode["code"] = "4321";
  byCode["nick"] = "Me";
  RecordedReport r = Command(byCode);
  EXPECT_EQ(r.a, 0);
  EXPECT_EQ(Parse(r.text)["result"]["groupid"].asString(), kG);
  // The screenshot ban comes under "screenshot" in this answer.
  EXPECT_EQ(GroupRow(kG, "groupname,groupstate,banscreenshot,banpic,surl,title,parentid,usercount"),
            "Traders|0|1|1|http://s/7|2|6@group.tesmo.x|1");
  EXPECT_EQ(GroupRow("6@group.tesmo.x", "groupname,grouplogo"), "Parent|http://p");
  EXPECT_EQ(Members(kG), "1001@tesmo.x:Me:3 ");

  RecordedReport left = Command(Args("leave", kG));
  EXPECT_EQ(left.a, 0);
  EXPECT_EQ(GroupRow(kG, "groupstate"), "1");
  EXPECT_EQ(Members(kG), "");
}

// A member's "join" (or a join code it asks again) only renames it in the group: an
// owner or manager keeps its role. A left group's row is no membership to keep.
TEST_F(GroupCommandTest, JoinOfAMemberKeepsItsRole) {
  struct Row {
    const char* what;
    const char* cmd;
    int storedRole;  // the own member row; 0: none
    int groupstate;  // of the local group row
    int want;
  } rows[] = {
      {"owner renames", "join", 1, 0, 1},
      {"manager renames", "join", 2, 0, 2},
      {"member renames", "join", 3, 0, 3},
      {"newcomer", "join", 0, 0, 3},
      {"owner row of a left group", "join", 1, 1, 3},
      {"owner asks its code", "getbycode", 1, 0, 1},
      {"manager asks its code", "getbycode", 2, 0, 2},
      {"newcomer by code", "getbycode", 0, 0, 3},
      {"manager row of a left group, by code", "getbycode", 2, 1, 3},
      {"owner by link", "joinurl", 1, 0, 1},
  };
  int n = 0;
  for (const Row& row : rows) {
    FakeGroupServer::Group g = Traders();
    g.groupid = std::to_string(70 + n) + "@group.tesmo.x";
    g.code = std::to_string(5000 + n);
    ++n;
    groups.AddGroup(g);
    // The server knows only a live membership.
    if (row.storedRole > 0 && row.groupstate == 0)
      groups.AddMember(g.groupid, {kOwn, "Old", row.storedRole});
    ASSERT_TRUE(Exec("insert into nq_group(groupid,groupname,groupstate) values('" + g.groupid +
                     "','Traders'," + std::to_string(row.groupstate) + ")"));
    if (row.storedRole > 0) {
      ASSERT_TRUE(Exec("insert into nq_groupuser(groupid,account,nick,role) values('" + g.groupid +
                       "','" + kOwn + "','Old'," + std::to_string(row.storedRole) + ")"));
    }
    Json::Value a = Args(row.cmd, std::string(row.cmd) == "join" ? g.groupid : "");
    a["code"] = g.code;
    a["nick"] = "New";
    EXPECT_EQ(Command(a).a, 0) << row.what;
    EXPECT_EQ(Members(g.groupid), std::string(kOwn) + ":New:" + std::to_string(row.want) + " ")
        << row.what;
    EXPECT_EQ(GroupRow(g.groupid, "groupstate"), "0") << row.what;
  }
}

// The member picker asks which contacts may still be added: only those not in the group.
TEST_F(GroupCommandTest, CheckUserNamesOnlyThoseNotInTheGroup) {
  FakeGroupServer::Group g = Traders();
  g.members.push_back({"2002@tesmo.x", "Bo", 3, 0, 0});
  groups.AddGroup(g);
  Json::Value check = Args("checkuser", kG);
  for (const char* id : {"2002@tesmo.x", "3003@tesmo.x", "4004@tesmo.x"}) {
    Json::Value user;
    user["id"] = id;
    check["user"].append(user);
  }
  RecordedReport r = Command(check);
  EXPECT_EQ(r.a, 0);
  const Json::Value users = Parse(r.text)["result"]["user"];
  ASSERT_EQ(users.size(), 2u);
  EXPECT_EQ(users[0]["id"].asString(), "3003@tesmo.x");
  EXPECT_EQ(users[1]["id"].asString(), "4004@tesmo.x");
  // An unknown group is refused.
  EXPECT_EQ(Parse(Command(Args("checkuser", "9@group.tesmo.x")).text)["result"]["cmd"].asString(),
            "GROUP_ERR_RESOURCE");
}

TEST_F(GroupCommandTest, RefusalsPassUnchangedAndChangeNothing) {
  groups.AddGroup(Traders());
  ASSERT_TRUE(Exec("insert into nq_group(groupid,groupstate,groupname) values('" + std::string(kG) +
                   "',0,'Traders')"));
  struct Row {
    const char* what;
    std::string answer;
    int want;
  } rows[] = {
      {"error word", R"({"code":1,"msg":"OK","result":{"cmd":"GROUP_ERR_RESOURCE"}})", 0},
      {"code not 1", R"({"code":-5,"msg":"denied","result":{"cmd":"OK"}})", 0},
      {"not JSON", "<html>oops</html>", 13},
  };
  for (const Row& row : rows) {
    for (const char* cmd : {"leave", "getinfo", "getuser"}) {
      groups.ScriptNext(row.answer);
      RecordedReport r = Command(Args(cmd, kG));
      EXPECT_EQ(r.a, row.want) << row.what << " " << cmd;
      EXPECT_EQ(r.text, row.answer) << row.what << " " << cmd;
    }
  }
  EXPECT_EQ(GroupRow(kG, "groupstate,groupname"), "0|Traders");
  EXPECT_EQ(SelectOne("select count(*) from nq_groupuser"), "0");
}

TEST_F(GroupCommandTest, GetInfoStoresPeopleAndRewritesInOrder) {
  FakeGroupServer::Group g = Traders();
  g.info = "about";
  groups.AddGroup(g);
  groups.AddMember(kG, {kOwn, "Me", 1});
  groups.AddMember(kG, {"2002@tesmo.x", "Bo", 2});
  groups.AddMember(kG, {"3003@tesmo.x", "Cy", 3});
  users.Add(kOwn, "Myself", 4, 1);
  users.Add("2002@tesmo.x", "Bob", 5, 0);
  RecordedReport r = Command(Args("getinfo", kG));
  EXPECT_EQ(r.a, 0);
  EXPECT_EQ(Members(kG), "1001@tesmo.x:Me:1 2002@tesmo.x:Bo:2 3003@tesmo.x:Cy:3 ");
  EXPECT_EQ(SelectOne("select champflag from nq_groupuser where account='1001@tesmo.x'"), "1");
  EXPECT_EQ(GroupRow(kG, "groupname,groupinfo,usercount,banpic,banscreenshot,title"),
            "Traders|about|3|1|1|2");

  Json::Value result = Parse(r.text)["result"];
  const std::string resultText = r.text.substr(r.text.find("\"result\""));
  const std::vector<std::string> want = {
      "cmd",           "transid", "version",   "userversion", "groupname", "groupid",
      "role",          "banall",  "banpic",    "banurl",      "banchat",   "banmsg",
      "banscreenshot", "nick",    "entrytime", "code",        "countdown", "expire",
      "logo",          "info",    "type",      "coinname",    "coincost",  "membercount",
      "maxmember",     "surl",    "title",     "parentid",    "path",      "child",
      "owner",         "admin",   "member"};
  EXPECT_EQ(KeyOrder(resultText, result), want);
  EXPECT_EQ(result["owner"][0]["account"].asString(), kOwn);
  EXPECT_EQ(result["owner"][0]["nick"].asString(), "Me");
  EXPECT_EQ(result["owner"][0]["name"].asString(), "Myself");
  EXPECT_EQ(result["owner"][0]["version"].asInt(), 4);
  EXPECT_EQ(result["admin"][0]["name"].asString(), "Bob");
  EXPECT_EQ(result["member"][0]["account"].asString(), "3003@tesmo.x");
  EXPECT_FALSE(result["member"][0].isMember("name"));  // no details for Cy
  EXPECT_EQ(result["code"].asString(), "4321");
  EXPECT_EQ(result["role"].asInt(), 1);
}

TEST_F(GroupCommandTest, ReadMarkHandOverVersionsSearchChildrenAndUserInfo) {
  FakeGroupServer::Group g = Traders();
  groups.AddGroup(g);
  groups.AddMember(kG, {kOwn, "Me", 1});
  groups.AddMember(kG, {"2002@tesmo.x", "Bo", 3});
  groups.AddMember(kG, {"3003@tesmo.x", "Cy", 2});
  FakeGroupServer::Group child;
  child.groupid = "70@group.tesmo.x";
  child.groupname = "Kid";
  child.parentid = kG;
  groups.AddGroup(child);
  groups.AddMember(child.groupid, {"2002@tesmo.x", "Bo", 1});
  users.Add("2002@tesmo.x", "Bob", 6, 1);
  users.Add("3003@tesmo.x", "Cyd", 2, 0);

  // The versions list: every group with the own role (none in the child group).
  EXPECT_EQ(Command(Args("getversion")).a, 0);
  EXPECT_EQ(GroupRow(kG, "groupstate,usercount"), "0|3");
  EXPECT_EQ(GroupRow(child.groupid, "groupstate,usercount"), "1|1");
  EXPECT_EQ(Members(kG), "1001@tesmo.x:Me:1 ");

  // A read mark: the own row keeps the message id and the time in milliseconds whole.
  Json::Value ack = Args("msgack");
  ack["msgids"][kG] = Json::Int64(5000000042LL);
  EXPECT_EQ(Command(ack).a, 0);
  EXPECT_EQ(SelectOne("select msgid from nq_groupuser where account='1001@tesmo.x'"), "5000000042");
  EXPECT_GT(
      atoll(SelectOne("select msgtime from nq_groupuser where account='1001@tesmo.x'").c_str()),
      1700000000000LL);
  Json::Value notJson = Args("msgack");
  notJson["msgids"] = "5";
  EXPECT_EQ(Command(notJson).a, 0);
  EXPECT_EQ(groups.Bodies().size(), 2u);  // the first ack was sent, the bad one not

  // Handing the group over: Bo owns it, the own account is a plain member.
  Json::Value grant = Args("grantuser", kG);
  grant["owner"][0]["id"] = "2002@tesmo.x";
  EXPECT_EQ(Command(grant).a, 0);
  EXPECT_EQ(Members(kG), "1001@tesmo.x:Me:3 2002@tesmo.x::1 ");
  EXPECT_EQ(GroupRow(kG, "craccount"), "2002@tesmo.x");

  // Member search: rewritten with the users' details.
  Json::Value search = Args("search", kG);
  search["nick"] = "o";
  RecordedReport found = Command(search);
  EXPECT_EQ(found.a, 0);
  Json::Value fr = Parse(found.text)["result"];
  EXPECT_EQ(fr["transid"].asString(), "T-search");
  ASSERT_EQ(fr["user"].size(), 1u);
  EXPECT_EQ(fr["user"][0]["account"].asString(), "2002@tesmo.x");
  EXPECT_EQ(fr["user"][0]["nick"].asString(), "Bo");
  EXPECT_EQ(fr["user"][0]["name"].asString(), "Bob");
  EXPECT_EQ(fr["user"][0]["champflag"].asInt(), 1);

  // Child groups with their owners' details.
  RecordedReport kids = Command(Args("getchild", kG));
  Json::Value kr = Parse(kids.text)["result"];
  ASSERT_EQ(kr["child"].size(), 1u);
  EXPECT_EQ(kr["child"][0]["groupid"].asString(), child.groupid);
  EXPECT_EQ(kr["child"][0]["owner"].asString(), "2002@tesmo.x");
  EXPECT_EQ(kr["child"][0]["name"].asString(), "Bob");
  EXPECT_EQ(kr["child"][0]["version"].asInt(), 6);

  // One member's data, stored with the details' flag.
  Json::Value info = Args("getuserinfo", kG);
  info["userid"] = "3003@tesmo.x";
  RecordedReport who = Command(info);
  Json::Value wr = Parse(who.text)["result"];
  EXPECT_EQ(
      KeyOrder(who.text.substr(who.text.find("\"result\"")), wr),
      (std::vector<std::string>{"cmd", "groupid", "account", "nick", "role", "time", "version",
                                "name", "logo", "biglogo", "userversion", "champflag"}));
  EXPECT_EQ(wr["role"].asInt(), 2);
  EXPECT_EQ(wr["name"].asString(), "Cyd");
  EXPECT_EQ(Members(kG), "1001@tesmo.x:Me:3 2002@tesmo.x::1 3003@tesmo.x:Cy:2 ");
}

TEST_F(GroupCommandTest, LogoUploadedBeforeTheGroupIsCreated) {
  FakeFileStore store;
  TEngineCore* core = TEngineCore::Instance();
  core->SetUpServer(store.TrackerAddress());
  core->SetDownServer("http://files.tesmo.test");
  const std::string logo = dir.File("logo.png");
  storetest::WriteFile(logo, std::string(5000, 'L'));
  Json::Value a = Args("create");
  a["groupname"] = "Pictured";
  a["nick"] = "Me";
  a["logopath"] = logo;
  RecordedReport r = Command(a);
  EXPECT_EQ(r.a, 0) << r.text;
  auto uploads = store.Uploads();
  ASSERT_EQ(uploads.size(), 1u);
  EXPECT_EQ(uploads[0].data, std::string(5000, 'L'));
  const std::string url = "http://files.tesmo.test/group1/" + uploads[0].storedName;
  auto bodies = groups.Bodies();
  ASSERT_EQ(bodies.size(), 1u);
  EXPECT_EQ(bodies[0]["logo"].asString(), url);
  EXPECT_EQ(GroupRow("9001@group.tesmo.x", "grouplogo,groupname"), url + "|Pictured");
}

TEST_F(GroupCommandTest, JoinByLinkSeveralAtOnceAndApprovals) {
  FakeGroupServer::Group g = Traders();
  groups.AddGroup(g);
  groups.AddMember(kG, {kOwn, "Me", 1});
  users.Add("2002@tesmo.x", "Bo");

  // Several groups in one answer, each with its own fields.
  groups.ScriptNext(
      R"({"code":1,"result":{"cmd":"OK","group":[)"
      R"({"groupid":"31@group.tesmo.x","time":"2024-06-03 08:00:00","membercount":9,"type":1,"banscreenshot":1,"groupname":"A","grouplogo":"la","parentid":"","surl":"u31","title":1},)"
      R"({"groupid":"32@group.tesmo.x","time":"2024-06-03 08:00:01","membercount":4,"groupname":"B","parentid":"30@group.tesmo.x","parentname":"Top","parentlogo":"lt"}]}})");
  EXPECT_EQ(Command(Args("multijoin")).a, 0);
  EXPECT_EQ(GroupRow("31@group.tesmo.x",
                     "groupname,grouplogo,usercount,type,banscreenshot,surl,title,groupstate"),
            "A|la|9|1|1|u31|1|0");
  EXPECT_EQ(GroupRow("32@group.tesmo.x", "groupname,parentid,groupstate"), "B|30@group.tesmo.x|0");
  EXPECT_EQ(GroupRow("30@group.tesmo.x", "groupname,grouplogo"), "Top|lt");
  EXPECT_EQ(Members("31@group.tesmo.x"), "1001@tesmo.x::3 ");
  EXPECT_EQ(SelectOne("select entrytime from nq_groupuser where groupid='32@group.tesmo.x'"),
            "2024-06-03 08:00:01");

  // A join link answers like a join code.
  Json::Value link = Args("joinurl");
  link["code"] = "4321";
  link["nick"] = "Linked";
  EXPECT_EQ(Command(link).a, 0);
  EXPECT_EQ(GroupRow(kG, "groupstate,banscreenshot,surl"), "0|1|http://s/7");
  EXPECT_EQ(Members(kG), "1001@tesmo.x:Linked:3 ");

  // An approval names the users it lets in, resolved like an addition.
  Json::Value approve = Args("approve", kG);
  approve["reason"] = "ok'd";
  approve["user"][0]["id"] = "2002@tesmo.x";
  EXPECT_EQ(Command(approve).a, 0);
  Json::Value body = groups.Bodies().back();
  EXPECT_EQ(body["cmd"].asString(), "approve");
  EXPECT_EQ(body["reason"].asString(), "ok'd");
  EXPECT_EQ(body["user"][0]["name"].asString(), "Bo");
}

TEST_F(GroupCommandTest, OtherRequestCodesAreNotGroupCommands) {
  TAPIPacket packet;
  packet.code = _REQUEST_HTTP_SENDPOST;
  packet.s1 = R"({"cmd":"leave","groupid":"7@group.tesmo.x"})";
  packet.s4 = "untouched";
  EXPECT_EQ(TGroupProcessor(TEngineCore::Instance()->GetRequestService()).HandlePacket(&packet), 1);
  EXPECT_EQ(packet.s4, "untouched");
  EXPECT_EQ(packet.a, 0);
  EXPECT_TRUE(groups.Bodies().empty());
}

}  // namespace
