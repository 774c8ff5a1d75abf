// Group commands through the engine against the running local server, as the program
// sends them: joining by code (right, wrong, invitation only, expired, refused), bans
// and the screenshot prompt kept and told by "getinfo", a "set" without "info" keeping
// the introduction, a join code with its countdown; all kept across a restart.
#include <gtest/gtest.h>
#include <json/json.h>

#include <chrono>
#include <fstream>
#include <string>

#include "TAPIInterface.h"
#include "support/CallbackRecorder.h"
#include "tools/EngineQueries.h"
#include "tools/LocalServerFixture.h"

namespace {

const char* kWorld = TESMO_TEST_DATA_DIR "/localserver-groups-world.json";
const char* kMe = "220001@groups.test";
const char* kOpen = "320001@group.groups.test";
const char* kInvited = "320002@group.groups.test";
const char* kDesk = "320003@group.groups.test";

Json::Value Parse(const std::string& text) {
  Json::Value v;
  Json::Reader().parse(text, v);
  return v;
}

class LocalServerGroupsTest : public LocalServerFixture {
 protected:
  LocalServerGroupsTest() : LocalServerFixture(kWorld, "localserver-groups") {}
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(LocalServerFixture::SetUp());
    StartAndLogIn("tesChat.db", "13900000201", "201201", "DEVICE-G");
  }
  // A group command as the program sends it; the reply text parsed (a = 0 checked).
  Json::Value Group(const std::string& cmd, Json::Value args = Json::Value(Json::objectValue)) {
    args["transid"] = "t-" + cmd;
    args["language"] = "zh-CN";
    args["cmd"] = cmd;
    const int id = ++nextId;
    api.GroupCommand(id, Json::FastWriter().write(args).c_str());
    auto reply =
        CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_GROUPCOMMAND, id, std::chrono::seconds(60));
    EXPECT_TRUE(reply) << args;
    if (!reply) return Json::Value();
    EXPECT_EQ(reply->a, 0) << reply->text;
    return Parse(reply->text);
  }
  Json::Value ByCode(const std::string& code) {
    Json::Value args;
    args["code"] = code;
    args["nick"] = "Gil";
    return Group("getbycode", args);
  }
  Json::Value Info(const std::string& groupid) {
    Json::Value args;
    args["groupid"] = groupid;
    return Group("getinfo", args)["result"];
  }
  std::string Row(const std::string& groupid, const std::string& columns) {
    const auto rows =
        QueryRows(api, "select " + columns + " from nq_group where groupid='" + groupid + "'");
    return rows.empty() ? "" : rows.front();
  }

  int nextId = 700;
};

TEST_F(LocalServerGroupsTest, JoinByCodeBansAndCodesAsTheProgramSeesThem) {
  // The right code joins, as a plain member; a wrong one and one of a group that takes
  // members by invitation only are answered with the server's codes.
  const Json::Value joined = ByCode("1357");
  EXPECT_EQ(joined["code"].asInt(), 1) << joined;
  EXPECT_EQ(joined["result"]["groupid"].asString(), kOpen) << joined;
  EXPECT_EQ(Row(kOpen, "groupname,groupstate"), "Open Door|0");
  EXPECT_EQ(QueryInt(api, "select role from nq_groupuser where groupid='" + std::string(kOpen) +
                              "' and account='" + kMe + "'"),
            3);
  EXPECT_EQ(ByCode("9999")["code"].asInt(), -14);
  EXPECT_EQ(ByCode("2468")["code"].asInt(), -19);
  // Asking again as a member: still joined, nothing changes.
  EXPECT_EQ(ByCode("1357")["code"].asInt(), 1);

  // Bans and the screenshot prompt of the own group: kept and told by getinfo, which
  // stores them.
  Json::Value ban;
  ban["groupid"] = kDesk;
  ban["chat"] = 1;
  EXPECT_EQ(Group("banuser", ban)["result"]["cmd"].asString(), "OK");
  Json::Value shots;
  shots["groupid"] = kDesk;
  shots["screenshot"] = 1;
  EXPECT_EQ(Group("banuser", shots)["result"]["cmd"].asString(), "OK");
  Json::Value info = Info(kDesk);
  EXPECT_EQ(info["banchat"].asInt(), 1) << info;
  EXPECT_EQ(info["banscreenshot"].asInt(), 1) << info;
  EXPECT_EQ(Row(kDesk, "banchat,banscreenshot"), "1|1");

  // A rename that names no introduction keeps it.
  Json::Value rename;
  rename["groupid"] = kDesk;
  rename["groupname"] = "Own Desk 2";
  EXPECT_EQ(Group("set", rename)["result"]["cmd"].asString(), "OK");
  EXPECT_EQ(Info(kDesk)["info"].asString(), "kept notes");
  // A code, with its countdown.
  Json::Value code;
  code["groupid"] = kDesk;
  code["code"] = "8642";
  EXPECT_EQ(Group("setcode", code)["result"]["cmd"].asString(), "OK");
  info = Info(kDesk);
  EXPECT_EQ(info["code"].asString(), "8642");
  EXPECT_GT(info["countdown"].asInt(), 0);
  EXPECT_LE(info["countdown"].asInt(), 24 * 3600);
  // A member may not change a group it does not run.
  Json::Value theirs;
  theirs["groupid"] = kOpen;
  theirs["groupname"] = "Mine now";
  EXPECT_EQ(Group("set", theirs)["result"]["cmd"].asString(), "GROUP_ERR_PERMISSION");
  EXPECT_EQ(Info(kOpen)["groupname"].asString(), "Open Door");

  // Across a restart: the same session, the same groups. In the kept file the code of
  // the group closed to joining has expired and is open to all, and this account was
  // removed from the open group and may not come back by its code.
  ASSERT_EQ(server->Stop(), 0) << server->Errors();
  const std::string file = dir + "/state/groups.json";
  Json::Value kept;
  {
    std::ifstream in(file);
    ASSERT_TRUE(Json::Reader().parse(in, kept)) << file;
  }
  for (Json::Value& g : kept["groups"]) {
    if (g["groupid"].asString() == kInvited) {
      g["type"] = 0;
      g["codeexpire"] = 1;
    }
    if (g["groupid"].asString() == kOpen) {
      Json::Value members(Json::arrayValue);
      for (const Json::Value& m : g["members"])
        if (m["account"].asString() != kMe) members.append(m);
      g["members"] = members;
      g["refused"].append(kMe);
    }
  }
  std::ofstream(file) << kept.toStyledString();
  ASSERT_NO_FATAL_FAILURE(StartServer());
  EXPECT_EQ(ByCode("2468")["code"].asInt(), -13);
  EXPECT_EQ(ByCode("1357")["code"].asInt(), -20);
  info = Info(kDesk);
  EXPECT_EQ(info["groupname"].asString(), "Own Desk 2");
  EXPECT_EQ(info["banchat"].asInt(), 1) << info;
  EXPECT_EQ(info["banscreenshot"].asInt(), 1) << info;
  EXPECT_EQ(info["code"].asString(), "8642");
  EXPECT_EQ(info["role"].asInt(), 1);
}

}  // namespace
