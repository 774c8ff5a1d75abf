// The group rules the local server keeps, as a group server keeps them: what each
// role (owner, manager, member, outsider) may do and the answer it gets; "join" and
// "adduser" of a member keep its role; the notices each change sends carry the one
// who acted and what changed.
#include <gtest/gtest.h>
#include <json/json.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "LocalGroups.h"
#include "fakes/FakeGroupServer.h"
#include "fakes/FakeHttpServer.h"
#include "tools/LocalServerProcess.h"

namespace {

const char* kG = "1@group.t";

Json::Value Parse(const std::string& text) {
  Json::Value v;
  Json::Reader().parse(text, v);
  return v;
}

// A group server with the rules on, whose callers name themselves in the token header.
class RulesServer {
 public:
  RulesServer() : groups(http) {
    groups.SetRoleRules(true);
    groups.SetCallerOf([](const FakeRequest& r) { return r.Header("TS-IM-TOKEN"); });
    FakeGroupServer::Group g;
    g.groupid = kG;
    g.groupname = "Desk";
    g.code = "1357";
    for (const auto& m : std::vector<std::pair<const char*, int>>{
             {"o@t", 1}, {"m@t", 2}, {"n@t", 2}, {"a@t", 3}, {"b@t", 3}})
      g.members.push_back({m.first, std::string("nick-") + m.first, m.second, 0, 0});
    groups.AddGroup(g);
    EXPECT_TRUE(http.Start());
  }
  // One command as caller; the answer.
  Json::Value Command(const std::string& caller, Json::Value body) {
    body["transid"] = "t1";
    if (!body.isMember("groupid")) body["groupid"] = kG;
    const std::string text = Json::FastWriter().write(body);
    const std::string request = "POST " + std::string(FakeGroupServer::kPath) +
                                " HTTP/1.1\r\nHost: x\r\nTS-IM-TOKEN: " + caller +
                                "\r\nContent-Length: " + std::to_string(text.size()) + "\r\n\r\n" +
                                text;
    const int fd = ConnectLoopback(http.Port());
    if (fd < 0) return Json::Value();
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    const std::string reply = ReadReply(fd, 10000);
    close(fd);
    const size_t body_at = reply.find("\r\n\r\n");
    return body_at == std::string::npos ? Json::Value() : Parse(reply.substr(body_at + 4));
  }
  // "account:role" of every member, in the group's order; "gone" without the group.
  std::string Members() {
    if (!groups.HasGroup(kG)) return "gone";
    std::string out;
    for (const auto& m : groups.GetGroup(kG).members)
      out += (out.empty() ? "" : " ") + m.account + ":" + std::to_string(m.role);
    return out;
  }

  FakeHttpServer http;
  FakeGroupServer groups;
};

// The answer as one word: the result's "cmd" when the code is 1, else the code.
std::string Verdict(const Json::Value& answer) {
  if (answer["code"].asInt() != 1) return "code " + std::to_string(answer["code"].asInt());
  return answer["result"]["cmd"].asString();
}

Json::Value Ids(const char* key, std::vector<std::string> ids) {
  Json::Value list(Json::arrayValue);
  for (const std::string& id : ids) {
    Json::Value e;
    e["id"] = id;
    list.append(e);
  }
  Json::Value body;
  body[key] = list;
  return body;
}

Json::Value Cmd(const char* cmd, Json::Value body = Json::Value(Json::objectValue)) {
  body["cmd"] = cmd;
  return body;
}

TEST(GroupRulesTest, CommandsByRoleGetTheAnswersAGroupServerGives) {
  const std::string start = "o@t:1 m@t:2 n@t:2 a@t:3 b@t:3";
  Json::Value rename = Cmd("set");
  rename["groupname"] = "New";
  Json::Value closed = Cmd("set");
  closed["type"] = 1;
  Json::Value code = Cmd("setcode");
  code["code"] = "2468";
  Json::Value chat = Cmd("banuser");
  chat["chat"] = 1;
  Json::Value byCode = Cmd("getbycode");
  byCode["code"] = "1357";
  struct Row {
    const char* name;
    const char* caller;
    Json::Value body;
    std::string verdict;
    std::string members;  // after the command
  };
  const std::string perm = "GROUP_ERR_PERMISSION";
  const std::vector<Row> rows = {
      // Settings, bans and the code: owner and managers.
      {"owner renames", "o@t", rename, "OK", start},
      {"manager renames", "m@t", rename, "OK", start},
      {"member renames", "a@t", rename, perm, start},
      {"outsider renames", "x@t", rename, perm, start},
      {"manager closes joining", "m@t", closed, "OK", start},
      {"member sets a code", "a@t", code, perm, start},
      {"manager sets a code", "m@t", code, "OK", start},
      {"member bans chat", "a@t", chat, perm, start},
      {"owner bans chat", "o@t", chat, "OK", start},
      // Adding: members too, outsiders not.
      {"member adds", "a@t", Cmd("adduser", Ids("user", {"c@t"})), "OK", start + " c@t:3"},
      {"outsider adds", "x@t", Cmd("adduser", Ids("user", {"c@t"})), perm, start},
      {"adding the owner again keeps its role", "m@t", Cmd("adduser", Ids("user", {"o@t"})), "OK",
       start},
      // Removing: owner removes managers and members, managers members only, the owner
      // nobody.
      {"owner removes a member", "o@t", Cmd("remove", Ids("user", {"a@t"})), "OK",
       "o@t:1 m@t:2 n@t:2 b@t:3"},
      {"owner removes a manager", "o@t", Cmd("remove", Ids("user", {"m@t"})), "OK",
       "o@t:1 n@t:2 a@t:3 b@t:3"},
      {"manager removes a member", "m@t", Cmd("remove", Ids("user", {"b@t"})), "OK",
       "o@t:1 m@t:2 n@t:2 a@t:3"},
      {"manager removes a manager", "m@t", Cmd("remove", Ids("user", {"n@t"})), perm, start},
      {"manager removes the owner", "m@t", Cmd("remove", Ids("user", {"o@t"})), perm, start},
      {"owner removes itself", "o@t", Cmd("remove", Ids("user", {"o@t"})), perm, start},
      {"a member and the owner at once", "m@t", Cmd("remove", Ids("user", {"a@t", "o@t"})), perm,
       start},
      {"member removes a member", "a@t", Cmd("remove", Ids("user", {"b@t"})), perm, start},
      {"outsider removes", "x@t", Cmd("remove", Ids("user", {"b@t"})), perm, start},
      // Roles: the owner alone grants, hands over.
      {"owner makes a manager", "o@t", Cmd("grantuser", Ids("admin", {"a@t"})), "OK",
       "o@t:1 m@t:2 n@t:2 a@t:2 b@t:3"},
      {"owner takes a manager's role", "o@t", Cmd("grantuser", Ids("member", {"m@t"})), "OK",
       "o@t:1 m@t:3 n@t:2 a@t:3 b@t:3"},
      {"owner hands over", "o@t", Cmd("grantuser", Ids("owner", {"a@t"})), "OK",
       "o@t:3 m@t:2 n@t:2 a@t:1 b@t:3"},
      {"manager makes a manager", "m@t", Cmd("grantuser", Ids("admin", {"a@t"})), perm, start},
      {"manager takes over", "m@t", Cmd("grantuser", Ids("owner", {"m@t"})), perm, start},
      {"owner demotes itself", "o@t", Cmd("grantuser", Ids("member", {"o@t"})), perm, start},
      {"owner grants an outsider", "o@t", Cmd("grantuser", Ids("admin", {"x@t"})), "GROUP_ERR_USER",
       start},
      // Dissolving and releasing: the owner.
      {"manager dissolves", "m@t", Cmd("destroy"), perm, start},
      {"member dissolves", "a@t", Cmd("destroy"), perm, start},
      {"owner dissolves", "o@t", Cmd("destroy"), "OK", "gone"},
      {"manager releases", "m@t", Cmd("release"), perm, start},
      {"owner releases", "o@t", Cmd("release"), "OK", start},
      // Leaving: the owner's role passes to the first manager.
      {"member leaves", "a@t", Cmd("leave"), "OK", "o@t:1 m@t:2 n@t:2 b@t:3"},
      {"owner leaves", "o@t", Cmd("leave"), "OK", "m@t:1 n@t:2 a@t:3 b@t:3"},
      {"outsider leaves", "x@t", Cmd("leave"), "GROUP_ERR_USER", start},
      // Joining.
      {"outsider joins by code", "x@t", byCode, "OK", start + " x@t:3"},
      {"manager asks by code again", "m@t", byCode, "OK", start},
  };
  for (const Row& row : rows) {
    RulesServer server;
    const Json::Value answer = server.Command(row.caller, row.body);
    EXPECT_EQ(Verdict(answer), row.verdict) << row.name << "\n" << answer;
    EXPECT_EQ(server.Members(), row.members) << row.name;
  }
}

TEST(GroupRulesTest, JoinAndAddKeepEveryRole) {
  RulesServer server;
  // "join" changes a member's nickname in the group, never its role.
  for (const char* who : {"o@t", "m@t", "a@t"}) {
    Json::Value join = Cmd("join");
    join["nick"] = std::string("renamed ") + who;
    EXPECT_EQ(Verdict(server.Command(who, join)), "OK") << who;
  }
  EXPECT_EQ(server.Members(), "o@t:1 m@t:2 n@t:2 a@t:3 b@t:3");
  for (const auto& m : server.groups.GetGroup(kG).members) {
    if (m.account == "o@t" || m.account == "m@t" || m.account == "a@t") {
      EXPECT_EQ(m.nick, "renamed " + m.account);
    }
  }
  // Adding members who are in already changes neither their role nor their name.
  EXPECT_EQ(Verdict(server.Command("o@t", Cmd("adduser", Ids("user", {"m@t", "o@t"})))), "OK");
  EXPECT_EQ(server.Members(), "o@t:1 m@t:2 n@t:2 a@t:3 b@t:3");
  EXPECT_EQ(server.groups.GetGroup(kG).members[1].nick, "renamed m@t");

  // In a group closed to joining, an outsider's "join" is refused as by code.
  Json::Value closed = Cmd("set");
  closed["type"] = 1;
  ASSERT_EQ(Verdict(server.Command("o@t", closed)), "OK");
  Json::Value join = Cmd("join");
  join["nick"] = "X";
  EXPECT_EQ(Verdict(server.Command("x@t", join)), "code -19");
  // Its members still add others only through the owner and managers.
  EXPECT_EQ(Verdict(server.Command("a@t", Cmd("adduser", Ids("user", {"c@t"})))),
            "GROUP_ERR_PERMISSION");
  EXPECT_EQ(Verdict(server.Command("m@t", Cmd("adduser", Ids("user", {"c@t"})))), "OK");
}

TEST(GroupRulesTest, BanuserIsKeptAndToldByGetinfo) {
  RulesServer server;
  auto info = [&](const char* who) {
    const Json::Value r = server.Command(who, Cmd("getinfo"));
    EXPECT_EQ(Verdict(r), "OK");
    return r["result"];
  };
  Json::Value ban = Cmd("banuser", Ids("ban", {"a@t"}));
  ban["chat"] = 1;
  ban["screenshot"] = 1;
  ban["all"] = 0;
  ASSERT_EQ(Verdict(server.Command("m@t", ban)), "OK");
  Json::Value got = info("a@t");
  EXPECT_EQ(got["banchat"].asInt(), 1);
  EXPECT_EQ(got["banscreenshot"].asInt(), 1);
  EXPECT_EQ(got["banall"].asInt(), 0);
  EXPECT_EQ(got["banuser"].asInt(), 1);
  EXPECT_EQ(info("b@t")["banuser"].asInt(), 0);

  Json::Value allow = Cmd("banuser", Ids("allow", {"a@t"}));
  allow["screenshot"] = 0;
  ASSERT_EQ(Verdict(server.Command("o@t", allow)), "OK");
  got = info("a@t");
  EXPECT_EQ(got["banchat"].asInt(), 1);  // not named: as it was
  EXPECT_EQ(got["banscreenshot"].asInt(), 0);
  EXPECT_EQ(got["banuser"].asInt(), 0);
}

// The notices a change sends, to whom, naming the one who acted and what changed.
TEST(GroupRulesTest, NoticesCarryTheActorAndTheKind) {
  using Group = FakeGroupServer::Group;
  auto group = [](std::vector<std::pair<std::string, int>> members) {
    Group g;
    g.groupid = "7@group.x";
    g.groupname = "Seven";
    g.info = "intro";
    for (const auto& m : members) g.members.push_back({m.first, "n-" + m.first, m.second, 0, 0});
    return g;
  };
  const Group abc = group({{"a", 1}, {"b", 2}, {"c", 3}});
  Group renamed = abc;
  renamed.groupname = "Eight";
  Group introduced = abc;
  introduced.info = "new intro";
  introduced.type = 1;
  Group coded = abc;
  coded.code = "2468";
  Group banned = abc;
  banned.banchat = 1;
  banned.members[2].banned = true;
  Group nicked = abc;
  nicked.members[2].nick = "Cee";
  struct Row {
    const char* name;
    FakeGroupServer::Change change;
    // "to notify", then the fields that must be there with their values
    std::vector<std::string> to;
    std::map<std::string, std::string> fields;  // of the first notice
  };
  const Row rows[] = {
      {"a rename names the new name only",
       {"set", "b", abc, renamed},
       {"a set", "b set", "c set"},
       {{"userid", "b"}, {"nick", "n-b"}, {"groupname", "Eight"}, {"info", "<none>"}}},
      {"an introduction and the join type, no name",
       {"set", "a", abc, introduced},
       {"a set", "b set", "c set"},
       {{"nick", "n-a"}, {"info", "new intro"}, {"type", "1"}, {"groupname", "<none>"}}},
      {"a set that changed nothing tells no one", {"set", "a", abc, abc}, {}, {}},
      {"a new code",
       {"setcode", "b", abc, coded},
       {"a code", "b code", "c code"},
       {{"code", "2468"}, {"nick", "n-b"}}},
      {"a ban: the banned told apart, the switch to all",
       {"banuser", "b", abc, banned},
       {"a groupban", "b groupban", "c groupban", "c ban", "a banuser", "b banuser"},
       {{"banchat", "1"}, {"userid", "b"}, {"nick", "n-b"}}},
      {"a new nickname",
       {"join", "c", abc, nicked},
       {"a nick", "b nick", "c nick"},
       {{"userid", "c"}, {"nick", "Cee"}}},
      {"removal names the removed and who removed them",
       {"remove", "b", abc, group({{"a", 1}, {"b", 2}})},
       {"c remove", "a removeuser", "b removeuser"},
       {{"userid", "b"}, {"nick", "n-b"}}},
      {"leaving names the one who left",
       {"leave", "c", abc, group({{"a", 1}, {"b", 2}})},
       {"a leave", "b leave"},
       {{"userid", "c"}, {"nick", "n-c"}, {"membercount", "2"}}},
      {"the owner leaving hands over",
       {"leave", "a", abc, group({{"b", 1}, {"c", 3}})},
       {"b leave", "c leave", "b changeowner", "c changeowner"},
       {{"userid", "a"}, {"nick", "n-a"}}},
      {"dissolving names who did it",
       {"destroy", "a", abc, Group()},
       {"a destroy", "b destroy", "c destroy"},
       {{"userid", "a"}, {"nick", "n-a"}}},
      {"a grant names the new owner",
       {"grantuser", "a", abc, group({{"a", 3}, {"b", 2}, {"c", 1}})},
       {"a changeowner", "b changeowner", "c changeowner", "a changemember", "b changemember",
        "c changemember"},
       {{"userid", "a"}, {"nick", "n-a"}}},
  };
  for (const Row& row : rows) {
    const auto notices = LocalGroups::NoticesOf(row.change, "2026-01-01 00:00:00");
    std::vector<std::string> to;
    for (const auto& n : notices) {
      to.push_back(n.first + " " + n.second["notify"].asString());
      EXPECT_EQ(n.second["groupid"].asString(), "7@group.x") << row.name;
    }
    EXPECT_EQ(to, row.to) << row.name;
    if (notices.empty()) continue;
    const Json::Value& first = notices.front().second;
    for (const auto& field : row.fields) {
      if (field.second == "<none>") {
        EXPECT_FALSE(first.isMember(field.first)) << row.name << " " << field.first;
      } else {
        EXPECT_EQ(first[field.first].asString(), field.second) << row.name << " " << field.first;
      }
    }
  }
  // The removed and the new owner by name, as the members read them.
  const auto removal = LocalGroups::NoticesOf({"remove", "b", abc, group({{"a", 1}, {"b", 2}})},
                                              "2026-01-01 00:00:00");
  const Json::Value& told = removal[1].second;
  ASSERT_EQ(told["members"].size(), 1u);
  EXPECT_EQ(told["members"][0]["id"].asString(), "c");
  EXPECT_EQ(told["members"][0]["nick"].asString(), "n-c");
  EXPECT_EQ(told["count"].asInt(), 1);
  EXPECT_EQ(told["recvusers"].asString(), "c");
  const auto grant = LocalGroups::NoticesOf(
      {"grantuser", "a", abc, group({{"a", 3}, {"b", 2}, {"c", 1}})}, "2026-01-01 00:00:00");
  EXPECT_EQ(grant[0].second["members"][0]["nick"].asString(), "n-c");
}

}  // namespace
