// What the local server keeps in history for a login that comes later, through the
// engine as the program drives it: recalls (with the message they take back, also
// when the two lie on different pages) and group notices given while a member was
// not online, both across a restart of the server.
#include <gtest/gtest.h>
#include <json/json.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "TAPIInterface.h"
#include "support/CallbackRecorder.h"
#include "tools/EngineQueries.h"
#include "tools/LocalServerFixture.h"

namespace {

const char* kWorld = TESMO_TEST_DATA_DIR "/localserver-history-world.json";
const std::string kAda = "210001@history.test";
const std::string kBo = "210002@history.test";
const std::string kCy = "210003@history.test";
const std::string kGroup = "410001@group.history.test";

class LocalServerHistoryTest : public LocalServerFixture {
 protected:
  LocalServerHistoryTest() : LocalServerFixture(kWorld, "localserver-history") {}
  // A login on a database file of its own; waits for the end of the background
  // synchronisation that follows it.
  void LogIn(const std::string& mobile, const std::string& code, const std::string& file) {
    ASSERT_NO_FATAL_FAILURE(StartAndLogIn(file, mobile, code, "DEVICE-H"));
    ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_COME_FINISHIMHISTORY, 1,
                                                     std::chrono::seconds(120)));
  }
  // Sends a text; its server msgid.
  long long Send(const std::string& to, const std::string& text) {
    const int id = api.SendMsgIM(to.c_str(), 0, text.c_str(), "{}");
    EXPECT_GT(id, 0);
    auto sent = Wait(_REQUEST_HTTP_SENDMSGIM, id);
    EXPECT_TRUE(sent && sent->a == 0) << (sent ? sent->text : "no answer");
    localIds[text] = id;
    return std::stoll(
        "0" + QueryText(api, "select msgid from nq_message where id=" + std::to_string(id)));
  }
  void Recall(const std::string& text) {
    const int id = localIds[text];
    ASSERT_EQ(api.RevokeMsg(id), id);
    auto answered = Wait(_REQUEST_HTTP_REVOKEMSG, id);
    ASSERT_TRUE(answered);
    ASSERT_EQ(answered->a, 0) << answered->text;
  }
  // One page of a conversation's history, as the chat view asks for it.
  void FetchPage(const std::string& peer, int lastid) {
    const int dialog = api.GetHistoryMsg(peer.c_str(), lastid, 30);
    ASSERT_TRUE(Wait(_REQUEST_HTTP_GETHISTORYMSG, dialog));
  }
  Json::Value Group(const std::string& cmd, Json::Value args) {
    args["transid"] = "t-" + cmd;
    args["language"] = "en";
    args["cmd"] = cmd;
    args["groupid"] = kGroup;
    const int id = ++nextDialog;
    api.GroupCommand(id, Json::FastWriter().write(args).c_str());
    auto reply = Wait(_REQUEST_HTTP_GROUPCOMMAND, id);
    EXPECT_TRUE(reply) << args;
    if (!reply) return Json::Value();
    EXPECT_EQ(reply->a, 0) << reply->text;
    Json::Value parsed;
    Json::Reader().parse(reply->text, parsed);
    return parsed;
  }

  std::map<std::string, int> localIds;  // text -> local id of the sender's row
  int nextDialog = 900;
};

// A recall is kept with the message it takes back: a login after it, on a database of
// its own and after a restart of the server, finds the message recalled and the
// recall notice, never the recalled text as a plain message.
TEST_F(LocalServerHistoryTest, ARecalledMessageComesBackRecalledToALaterLogin) {
  ASSERT_NO_FATAL_FAILURE(LogIn("13900000101", "101101", "ada.db"));
  const struct {
    const char* text;
    std::string to;
    bool recalled;
  } rows[] = {
      {"said to Bo and kept", kBo, false},
      {"said to Bo and taken back", kBo, true},
      {"said in the group and kept", kGroup, false},
      {"said in the group and taken back", kGroup, true},
  };
  std::map<std::string, long long> msgids;
  for (const auto& row : rows) msgids[row.text] = Send(row.to, row.text);
  // Many messages between a recalled one and its recall: the recall lies on the first
  // page of the conversation, the message it takes back on an older one.
  for (int i = 0; i < 40; ++i) {
    const std::string answer =
        server->Command("push " + kBo + " " + kAda + " filler " + std::to_string(i));
    ASSERT_EQ(answer.rfind("pushed ", 0), 0u) << answer;
  }
  for (const auto& row : rows) {
    if (row.recalled) {
      ASSERT_NO_FATAL_FAILURE(Recall(row.text));
    }
  }
  api.Release();
  ASSERT_NO_FATAL_FAILURE(RestartServer());

  ASSERT_NO_FATAL_FAILURE(LogIn("13900000102", "102102", "bo.db"));
  // The chat with Ada opened and scrolled back: the newest page, then the older ones.
  ASSERT_NO_FATAL_FAILURE(FetchPage(kAda, -1));
  for (int page = 0; page < 3; ++page) {
    const int oldest =
        QueryInt(api, "select min(msgid) from nq_message where msgid>0 and totype=0");
    ASSERT_NO_FATAL_FAILURE(FetchPage(kAda, oldest));
  }
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    const std::string where = " from nq_message where msgid=" + std::to_string(msgids[row.text]) +
                              " and touser='" + row.to + "'";
    ASSERT_EQ(QueryInt(api, "select count(*)" + where), 1);
    EXPECT_EQ(QueryInt(api, "select revokeflag" + where), row.recalled ? 1 : 0);
    EXPECT_EQ(
        QueryInt(api, "select count(*) from nq_message where msgtype=9 and touser='" + row.to +
                          "' and content='" + QueryText(api, "select id" + where) + "'"),
        row.recalled ? 1 : 0);
  }
}

// A notice to a group reaches a member who was not online when it was given: the
// group's history holds it, and the member's first login stores it.
TEST_F(LocalServerHistoryTest, AGroupNoticeGivenWhileAMemberIsAwayReachesItsHistory) {
  ASSERT_NO_FATAL_FAILURE(LogIn("13900000101", "101101", "ada.db"));
  Json::Value admin;
  admin["admin"][0]["id"] = kCy;
  Group("grantuser", admin);
  EXPECT_EQ(server->Command("groupnotify " + kGroup + " the server says hello"), "notified\n");
  Json::Value removal;
  removal["user"][0]["id"] = kCy;
  Group("remove", removal);
  api.Release();
  ASSERT_NO_FATAL_FAILURE(RestartServer());

  ASSERT_NO_FATAL_FAILURE(LogIn("13900000102", "102102", "bo.db"));
  const std::vector<std::string> notices =
      QueryRows(api, "select content from nq_message where msgtype=6 and touser='" + kGroup + "'");
  const struct {
    const char* name;
    std::string notify;  // the notice's kind, or its whole text
  } rows[] = {
      {"a member made a manager", "changeadmin"},
      {"a notice of the server", "the server says hello"},
      {"a member removed", "removeuser"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    int found = 0;
    for (const std::string& text : notices) {
      Json::Value notice;
      const bool json = Json::Reader().parse(text, notice) && notice.isObject();
      if ((json && notice["notify"].asString() == row.notify) || text == row.notify) {
        ++found;
        if (json) {
          EXPECT_NE(text.find(kCy), std::string::npos) << text;
        }
      }
    }
    EXPECT_EQ(found, 1) << ::testing::PrintToString(notices);
  }
}

}  // namespace
