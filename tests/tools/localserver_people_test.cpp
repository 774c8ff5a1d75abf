// Contacts and groups against the running local server, through TAPIInterface alone
// as the program drives them: the friend sync and its detail lists over two user
// domains, a remark and a black-list change, a new group with a member added; the
// engine's tables match what the server keeps, also after a restart with --state.
// Also the group notifications the server pushes for each kind of change.
#include <gtest/gtest.h>
#include <json/json.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "LocalGroups.h"
#include "LocalServer.h"
#include "LocalWorld.h"
#include "TAPIInterface.h"
#include "support/CallbackRecorder.h"
#include "tools/EngineQueries.h"
#include "tools/LocalServerFixture.h"
#include "tools/TlsExchange.h"

namespace {

const char* kWorld = TESMO_TEST_DATA_DIR "/localserver-people-world.json";
const char* kMe = "210001@people.test";
const char* kNear = "210002@people.test";
const char* kBlocked = "210004@people.test";
const char* kNewMember = "210005@people.test";
const char* kCrew = "310001@group.people.test";

Json::Value Parse(const std::string& text) {
  Json::Value v;
  Json::Reader().parse(text, v);
  return v;
}

Json::Value StateFile(const std::string& path) {
  std::ifstream in(path);
  Json::Value v;
  Json::Reader().parse(in, v);
  return v;
}

class LocalServerPeopleTest : public LocalServerFixture {
 protected:
  LocalServerPeopleTest() : LocalServerFixture(kWorld, "localserver-test") {}
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(LocalServerFixture::SetUp());
    LogIn("tesChat.db");
  }
  // The program's start-up order, pointed at the server, then a login by code.
  void LogIn(const std::string& database, const char* mobile = "13900000101",
             const char* code = "101010") {
    StartAndLogIn(database, mobile, code, "DEVICE-P");
  }
  // A POST of the program to a user-server path; the reply's text (a = 0 checked).
  std::string Post(const char* path, const Json::Value& body) {
    const std::string url = api.CreateRequestURL(path, "USERSERVER");
    const int id = ++nextId;
    api.SendPost(id, url.c_str(), Json::FastWriter().write(body).c_str());
    auto reply = Wait(_REQUEST_HTTP_SENDPOST, id);
    EXPECT_TRUE(reply) << path;
    if (!reply) return "";
    EXPECT_EQ(reply->a, 0) << path << ": " << reply->text;
    return reply->text;
  }
  Json::Value Group(const Json::Value& args) {
    const int id = ++nextId;
    api.GroupCommand(id, Json::FastWriter().write(args).c_str());
    auto reply = Wait(_REQUEST_HTTP_GROUPCOMMAND, id);
    EXPECT_TRUE(reply) << args;
    if (!reply) return Json::Value();
    EXPECT_EQ(reply->a, 0) << reply->text;
    return Parse(reply->text);
  }
  // The group's details, as the program reloads them (stored by the engine).
  Json::Value GetInfo(const std::string& groupid) {
    Json::Value info;
    info["transid"] = "t-info";
    info["cmd"] = "getinfo";
    info["groupid"] = groupid;
    return Group(info);
  }
  // Every row of a query, its columns joined with "|".
  std::vector<std::string> Rows(const std::string& sql) { return QueryRows(api, sql); }
  // The members the server keeps for a group, as "account|role" in account order.
  std::vector<std::string> KeptMembers(const std::string& groupid) {
    std::set<std::string> rows;
    const Json::Value state = StateFile(dir + "/state/groups.json");
    for (const Json::Value& g : state["groups"]) {
      if (g["groupid"].asString() != groupid) continue;
      for (const Json::Value& m : g["members"])
        rows.insert(m["account"].asString() + "|" + std::to_string(m["role"].asInt()));
    }
    return {rows.begin(), rows.end()};
  }
  std::vector<std::string> StoredMembers(const std::string& groupid) {
    return Rows("select account,role from nq_groupuser where groupid='" + groupid +
                "' order by account");
  }

  int nextId = 500;
};

TEST_F(LocalServerPeopleTest, FriendSyncRemarkBlackListAndANewGroupMatchTheServer) {
  // The friend list: each friend's details from its own domain's server->
  Json::Value sync;
  sync["transid"] = "t-sync";
  sync["userid"] = "210001";
  sync["version"] = 0;
  const Json::Value details = Parse(Post("/userinfo/user/getfriend.do", sync));
  EXPECT_EQ(details["result"]["count"].asInt(), 2) << details;
  EXPECT_EQ(Rows("select account,name,summary,isfriend,version from nq_contact order by account"),
            (std::vector<std::string>{"210002@people.test|Near Friend|next door|1|1",
                                      "210003@other.test|Other Domain|on the other server|1|4"}));
  EXPECT_EQ(Rows("select account,name from nq_remark"),
            std::vector<std::string>{"210003@other.test|Far Friend"});
  // World texts name the servers by their addresses of this run.
  EXPECT_EQ(Rows("select logo from nq_contact where account='210002@people.test'"),
            std::vector<std::string>{server->Value("DOWNSERVER") + "/group1/people/near.png"});
  EXPECT_EQ(std::string(api.GetBlackList()), kBlocked);

  // A detail list the program asks for: stored as non-friends, the program told.
  Json::Value ask;
  ask["transid"] = "t-ask";
  ask["accounts"] = std::string(kBlocked) + "," + kNewMember;
  Post("/userinfo/user/getdetaillist.do", ask);
  EXPECT_TRUE(Wait(_EVENT_REPORT_FRIENDNOTIFY));
  EXPECT_EQ(Rows("select account,name,isfriend from nq_contact where isfriend=0 order by account"),
            (std::vector<std::string>{"210004@people.test|Blocked Caller|0",
                                      "210005@people.test|New Member|0"}));

  // A remark and a black-list change: accepted, stored here and kept by the server->
  Json::Value remark;
  remark["transid"] = "t-remark";
  remark["friend"] = kNear;
  remark["name"] = "Neighbour";
  EXPECT_EQ(Parse(Post("/userinfo/user/setremark.do", remark))["code"].asInt(), 1);
  EXPECT_EQ(Rows("select name from nq_remark where account='210002@people.test'"),
            std::vector<std::string>{"Neighbour"});
  Json::Value black;
  black["transid"] = "t-black";
  black["adduser"] = kNewMember;
  EXPECT_EQ(Parse(Post("/userinfo/user/setblack.do", black))["code"].asInt(), 1);
  EXPECT_EQ(std::string(api.GetBlackList()), std::string(kBlocked) + "," + kNewMember);
  const Json::Value contacts = StateFile(dir + "/state/contacts.json");
  EXPECT_EQ(contacts[kMe]["remarks"][kNear].asString(), "Neighbour") << contacts;
  EXPECT_EQ(contacts[kMe]["blacklist"].size(), 2u) << contacts;
  // Another account's lists are its own.
  EXPECT_TRUE(contacts[kNear]["remarks"].empty()) << contacts;
  EXPECT_TRUE(contacts[kNear]["blacklist"].empty()) << contacts;

  // A new group with a friend in it, then one member more.
  Json::Value create;
  create["transid"] = "t-create";
  create["cmd"] = "create";
  create["groupname"] = "Night Shift";
  create["nick"] = "Pat";
  create["user"][0]["id"] = kNear;
  const Json::Value created = Group(create);
  ASSERT_EQ(created["result"]["cmd"].asString(), "OK") << created;
  const std::string group = created["result"]["groupid"].asString();
  EXPECT_EQ(group.find("@group.people.test"), group.find('@')) << group;
  EXPECT_EQ(
      Rows("select groupname,groupstate,craccount from nq_group where groupid='" + group + "'"),
      std::vector<std::string>{"Night Shift|0|210001@people.test"});
  Json::Value add;
  add["transid"] = "t-add";
  add["cmd"] = "adduser";
  add["groupid"] = group;
  add["user"][0]["id"] = kNewMember;
  EXPECT_EQ(Group(add)["result"]["cmd"].asString(), "OK");
  // The one member online (this account) was told of it, and answered the push.
  std::string status;
  EXPECT_TRUE(server->WaitForAnswer("status", "pushes: 1 sent, 0 unanswered\n", &status)) << status;

  // The group's details, as the program reloads them: the tables equal the server's.
  for (const std::string& id : {group, std::string(kCrew)}) {
    const Json::Value got = GetInfo(id);
    EXPECT_EQ(got["result"]["cmd"].asString(), "OK") << got;
    EXPECT_EQ(StoredMembers(id), KeptMembers(id)) << id;
  }
  EXPECT_EQ(KeptMembers(group),
            (std::vector<std::string>{"210001@people.test|1", "210002@people.test|3",
                                      "210005@people.test|3"}));
  EXPECT_EQ(KeptMembers(kCrew),
            (std::vector<std::string>{"210001@people.test|1", "210002@people.test|2",
                                      "210003@other.test|3"}));

  // The groups of this account as a login's synchronisation asks for them (it names no
  // user): each with the account's role.
  const std::string groupUrl = api.CreateRequestURL("/group/info/process.do", "GROUPSERVER");
  const char* update = api.SyncSendPost(0, groupUrl.c_str(), R"({"cmd":"getupdate","group":[]})");
  std::map<std::string, int> roles;
  const Json::Value updates = Parse(update ? update : "");
  for (const Json::Value& g : updates["result"]["group"])
    roles[g["groupid"].asString()] = g["role"].asInt();
  EXPECT_EQ(roles, (std::map<std::string, int>{{group, 1}, {kCrew, 1}})) << update;

  // A text to the new group is taken: the server knows its members.
  const int sent = api.SendMsgIM(group.c_str(), 1, "first words", "{}");
  auto sendReply = Wait(_REQUEST_HTTP_SENDMSGIM, sent);
  ASSERT_TRUE(sendReply);
  EXPECT_EQ(sendReply->a, 0) << sendReply->text;

  // A new name: stored here, and what others see.
  const int modify = ++nextId;
  api.UserCommand(modify, R"({"cmd":"modify","userid":"210001","name":"Pat Renamed",)"
                          R"("summary":"renamed","logo":"","biglogo":""})");
  auto modified = Wait(_REQUEST_HTTP_USERCOMMAND, modify);
  ASSERT_TRUE(modified);
  EXPECT_EQ(modified->a, 0) << modified->text;
  EXPECT_EQ(std::string(api.GetMyName()), "Pat Renamed");
  Json::Value mine;
  mine["transid"] = "t-mine";
  mine["accounts"] = kMe;
  Post("/userinfo/user/getdetaillist.do", mine);
  EXPECT_EQ(Rows("select name,summary from nq_contact where account='210001@people.test'"),
            std::vector<std::string>{"Pat Renamed|renamed"});

  // A friend removed: no friend here any more, and the list one step further.
  Json::Value remove;
  remove["transid"] = "t-remove";
  remove["account"] = "210003@other.test";
  EXPECT_EQ(Parse(Post("/userinfo/user/removefriend.do", remove))["code"].asInt(), 1);
  EXPECT_EQ(Rows("select isfriend from nq_contact where account='210003@other.test'"),
            std::vector<std::string>{"0"});

  // A restart with the same state keeps the group, its members and the contact lists:
  // a new database learns them from the server.
  api.Release();
  ASSERT_NO_FATAL_FAILURE(RestartServer());
  LogIn("second.db");
  EXPECT_EQ(std::string(api.GetMyName()), "Pat Renamed");
  // A client that had the list before the removal learns of it from the version it holds.
  const std::string friendUrl = api.CreateRequestURL("/userinfo/user/getfriend.do", "USERSERVER");
  const char* since = api.SyncSendPost(0, friendUrl.c_str(),
                                       R"({"transid":"t-since","userid":"210001","version":2})");
  const Json::Value steps = Parse(since ? since : "");
  EXPECT_EQ(steps["result"]["version"].asInt(), 3) << steps;
  EXPECT_EQ(steps["result"]["friends"].size(), 1u) << steps;
  EXPECT_EQ(steps["result"]["friends"][0]["acc"].asString(), "210003@other.test") << steps;
  EXPECT_EQ(steps["result"]["friends"][0]["deleted"].asInt(), 1) << steps;
  Post("/userinfo/user/getfriend.do", sync);
  EXPECT_EQ(Rows("select account from nq_contact where isfriend=1"),
            std::vector<std::string>{"210002@people.test"});
  EXPECT_EQ(
      Rows("select account,name from nq_remark order by account"),
      (std::vector<std::string>{"210002@people.test|Neighbour", "210003@other.test|Far Friend"}));
  EXPECT_EQ(std::string(api.GetBlackList()), std::string(kBlocked) + "," + kNewMember);
  EXPECT_EQ(GetInfo(kCrew)["result"]["logo"].asString(),
            server->Value("DOWNSERVER") + "/group1/people/crew.png");
  const Json::Value again = GetInfo(group);
  EXPECT_EQ(again["result"]["groupname"].asString(), "Night Shift") << again;
  EXPECT_EQ(again["result"]["membercount"].asInt(), 3) << again;
  EXPECT_EQ(StoredMembers(group), KeptMembers(group));
}

// The login session token the server keeps for an account ("" when none).
std::string SessionToken(const std::string& stateDir, const std::string& account) {
  const Json::Value sessions = StateFile(stateDir + "/sessions.json");
  std::string token;
  for (const Json::Value& s : sessions["sessions"])
    if (s["account"].asString() == account) token = s["token"].asString();
  return token;
}

TEST_F(LocalServerPeopleTest, ANewNameReachesTheFriendOnlineAndItsContactRow) {
  // This account's session stays with the server; its friend logs in here.
  const std::string patToken = SessionToken(dir + "/state", kMe);
  ASSERT_FALSE(patToken.empty());
  api.Release();
  LogIn("near.db", "13900000102", "202020");
  ASSERT_TRUE(Wait(_EVENT_REPORT_FRIENDNOTIFY));
  const std::string patRow = "select name,logo,version from nq_contact where account='" +
                             std::string(kMe) + "' and isfriend=1";
  ASSERT_EQ(Rows(patRow), std::vector<std::string>{"Pat Owner||1"});

  // The friend changes name and picture from its own client.
  CallbackRecorder::Get().Clear();
  const std::string body =
      R"({"transid":"t-modify","cmd":"modify","userid":"210001","name":"Pat Renamed",)"
      R"("summary":"renamed","logo":"/group1/people/pat.png","biglogo":"/group1/people/pat.png"})";
  const std::string request =
      "POST /userinfo/user/usercommand.do HTTP/1.1\r\nHost: localhost\r\n"
      "Content-Type: application/json\r\nTS-IM-TOKEN: " +
      patToken + "\r\nContent-Length: " + std::to_string(body.size()) +
      "\r\nConnection: close\r\n\r\n" + body;
  const std::string answer =
      TlsExchange(server->Port("USERSERVER"), server->Value("TESMO_CA_FILE"), request);
  ASSERT_NE(answer.find("Pat Renamed"), std::string::npos) << answer;

  // The push makes the engine fetch the friend list from the version it holds: the
  // friend's new details are stored and the program is told.
  ASSERT_TRUE(Wait(_EVENT_REPORT_FRIENDNOTIFY)) << server->Output();
  EXPECT_EQ(Rows(patRow), std::vector<std::string>{"Pat Renamed|/group1/people/pat.png|2"});
  // An account that does not list the changed user as a friend is not told.
  const Json::Value contacts = StateFile(dir + "/state/contacts.json");
  EXPECT_EQ(contacts["210004@people.test"]["friendlog"].size(), 0u) << contacts;
}

TEST(LocalServerPeopleNoSessionTest, ChangesWithoutASessionAreRefusedAndKeepNothing) {
  const TempFolder temp("localserver-test");
  ASSERT_FALSE(temp.Path().empty());
  const std::string dir = temp.Path();
  LocalServerProcess server;
  ASSERT_TRUE(server.Start({"--world", kWorld, "--state", dir + "/state"})) << server.Output();
  setenv("TESMO_CA_FILE", server.Value("TESMO_CA_FILE").c_str(), 1);
  TAPIInterface api;
  api.Init();
  api.UseOpenssl("", "", "");
  api.SetServerInfo("127.0.0.1", server.Port("TESMO_SERVER"));
  api.Run();
  struct Row {
    const char* server;
    const char* path;
    const char* body;
    int code;
  };
  const Row rows[] = {
      {"USERSERVER", "/userinfo/user/setremark.do", R"({"friend":"210002@people.test","name":"x"})",
       -1},
      {"USERSERVER", "/userinfo/user/setblack.do", R"({"adduser":"210002@people.test"})", -1},
      {"USERSERVER", "/userinfo/user/getfriend.do", R"({"userid":"210001","version":0})", -1},
      {"LOGIN", "/navigation/user/creategroup.do", R"({"account":"210001@people.test"})", -1},
      {"GROUPSERVER", "/group/info/process.do",
       R"({"cmd":"leave","groupid":"310001@group.people.test"})", -1},
      // Details of users are public.
      {"USERSERVER", "/userinfo/user/getdetaillist.do", R"({"userids":"210002"})", 1},
  };
  for (const Row& row : rows) {
    const std::string url = server.Value(row.server) + row.path;
    const char* reply = api.SyncSendPost(0, url.c_str(), row.body);
    EXPECT_EQ(Parse(reply ? reply : "")["code"].asInt(), row.code) << row.path << ": " << reply;
  }
  EXPECT_FALSE(std::filesystem::exists(dir + "/state/contacts.json"));
  EXPECT_FALSE(std::filesystem::exists(dir + "/state/groups.json"));
  api.Release();
  EXPECT_EQ(server.Stop(), 0) << server.Errors();
}

// Kept files from an earlier run that hold odd values: what is usable is served, the
// rest skipped; a file that is not JSON leaves the world's groups and lists.
TEST(LocalServerPeopleStateTest, OddKeptFilesAreReadAsFarAsTheyGo) {
  LocalWorld world;
  std::string error;
  ASSERT_TRUE(world.Load(kWorld, &error)) << error;
  struct Row {
    const char* groups;
    const char* contacts;
    std::vector<std::string> crew;  // members of the world's group
    std::vector<std::string> kept;  // members of group 9
  };
  const std::vector<std::string> worldCrew = {"210001@people.test", "210002@people.test",
                                              "210003@other.test"};
  const Row rows[] = {
      {"not json", "[1,2", worldCrew, {}},
      {R"({"groups": 5})", R"({"210001@people.test": 3})", worldCrew, {}},
      {R"({"groups": [5, {"groupid": 7}, {"groupid": "9@group.people.test", "members":
          [1, {"account": "nobody@x"}, {"account": "210002@people.test", "role": "x"},
           {"account": "210002@people.test", "role": 1}]}]})",
       R"({"210001@people.test": {"friends": "x", "remarks": [1], "blacklist": {"a": 1}},
          "x": 5})",
       {},
       {"210002@people.test"}},
  };
  for (const Row& row : rows) {
    const TempFolder temp("localserver-test");
    ASSERT_FALSE(temp.Path().empty());
    const std::string dir = temp.Path();
    std::ofstream(dir + "/groups.json") << row.groups;
    std::ofstream(dir + "/contacts.json") << row.contacts;
    {
      LocalServer server(world, {dir, 0});
      ASSERT_TRUE(server.Start(&error)) << error;
      EXPECT_EQ(server.MembersOf(kCrew), row.crew) << row.groups;
      EXPECT_EQ(server.MembersOf("9@group.people.test"), row.kept) << row.groups;
    }
  }
}

// The notifications each kind of group change makes, to whom.
TEST(LocalGroupsNoticeTest, EachChangeTellsTheMembersConcerned) {
  using Group = FakeGroupServer::Group;
  auto group = [](std::vector<std::pair<std::string, int>> members) {
    Group g;
    g.groupid = "7@group.x";
    g.groupname = "Seven";
    for (const auto& m : members) g.members.push_back({m.first, "n-" + m.first, m.second, 0, 0});
    return g;
  };
  const Group abc = group({{"a", 1}, {"b", 2}, {"c", 3}});
  Group renamed = abc;
  renamed.groupname = "Eight";
  struct Row {
    const char* name;
    FakeGroupServer::Change change;
    std::vector<std::string> expected;  // "to notify [userid|members]"
  };
  Group gone;
  Group fresh;
  fresh.groupid = "7@group.x";
  const Row rows[] = {
      {"create tells each other member it was added",
       {"create", "a", fresh, group({{"a", 1}, {"b", 3}})},
       {"b add a"}},
      {"adduser: the newcomer added, the members that it joined",
       {"adduser", "a", abc, group({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 3}})},
       {"d add a", "a join d", "b join d", "c join d"}},
      {"join by itself: the members only",
       {"join", "d", abc, group({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 3}})},
       {"a join d", "b join d", "c join d"}},
      {"leave", {"leave", "c", abc, group({{"a", 1}, {"b", 2}})}, {"a leave c", "b leave c"}},
      {"remove: the removed and the rest",
       {"remove", "a", abc, group({{"a", 1}, {"b", 2}})},
       {"c remove a", "a removeuser a c", "b removeuser a c"}},
      {"destroy: every former member",
       {"destroy", "a", abc, gone},
       {"a destroy a", "b destroy a", "c destroy a"}},
      {"set", {"set", "b", abc, renamed}, {"a set b", "b set b", "c set b"}},
      {"grantuser: one notice per new role",
       {"grantuser", "a", abc, group({{"a", 3}, {"b", 2}, {"c", 1}})},
       {"a changeowner a c", "b changeowner a c", "c changeowner a c", "a changemember a a",
        "b changemember a a", "c changemember a a"}},
      {"nothing changed tells no one", {"getinfo", "a", abc, abc}, {}},
  };
  for (const Row& row : rows) {
    std::vector<std::string> got;
    for (const auto& notice : LocalGroups::NoticesOf(row.change, "2026-01-01 00:00:00")) {
      const Json::Value& c = notice.second;
      std::string line = notice.first + " " + c["notify"].asString();
      if (c.isMember("userid")) line += " " + c["userid"].asString();
      for (const Json::Value& m : c["members"]) line += " " + m["id"].asString();
      got.push_back(line);
      EXPECT_EQ(c["groupid"].asString(), "7@group.x") << row.name;
    }
    EXPECT_EQ(got, row.expected) << row.name;
  }
}

}  // namespace
