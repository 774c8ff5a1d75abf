// One account's work never lands in another account's database. Driven through
// TAPIInterface as the program drives it, against the loopback login, user, IM
// session, history and group servers: account A logs in and its first background
// download runs over many groups with slow history replies; in the middle of it A
// logs out (or is kicked out), the program opens B's database and B logs in. B's
// file gets nothing of A (B's own servers have nothing to give), and A's file,
// opened again, still holds at least what it held at the switch. And the other way
// round, when A's file is opened again while B's download runs.
#include <gtest/gtest.h>
#include <json/json.h>

#include <chrono>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "engine/net/ServiceTestSupport.h"
#include "engine/services/account_test_env.h"

namespace {

using accounttest::AccountIsolationEnv;
using accounttest::GroupId;
using accounttest::kA;
using accounttest::kDomain;
using accounttest::kPeer;
using accounttest::kTables;
using accounttest::kWait;
using accounttest::User;

enum class Cut { kLogout, kKickOut };
enum class InFlight {
  kGroupHistory,   // a group's history download of the background pass
  kOlderMessages,  // the program's request for older messages (200206)
};

struct Case {
  const char* name;
  Cut cut;
  InFlight inFlight;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class AccountIsolationTest : public AccountIsolationEnv,
                             public ::testing::WithParamInterface<Case> {};

TEST_P(AccountIsolationTest, NothingOfTheFirstAccountReachesTheSecondAccountsFile) {
  const Case& c = GetParam();
  int olderDialog = 0;
  if (c.inFlight == InFlight::kGroupHistory) {
    // The first groups' history comes (slowly); the next one stays in flight.
    worldA.HoldAfter(FakeSyncWorld::kGroupMidPath, 6);
  }
  ASSERT_EQ(api.SetDatabase(File("a.db").c_str()), 2);
  ASSERT_NO_FATAL_FAILURE(LogIn(profileA));
  if (c.inFlight == InFlight::kOlderMessages) {
    ASSERT_TRUE(WaitForPassEnd(0));
    // The program pages back in the conversation; the older messages are on the way.
    worldA.HoldAfter(FakeSyncWorld::kUserMidPath, worldA.Count(FakeSyncWorld::kUserMidPath));
    const std::string oldest = One("select min(msgid) from nq_message where totype=0");
    olderDialog = api.GetHistoryMsg(kPeer, std::stoi(oldest), 20);
  }
  ASSERT_TRUE(worldA.WaitHeld(1, 60000));

  const std::map<std::string, int> atSwitch = Rows();
  for (const char* table : kTables) ASSERT_GT(atSwitch.at(table), 0) << table;

  if (c.cut == Cut::kLogout) {
    ASSERT_EQ(api.MakeUnRegister(), 1);
  } else {
    const std::vector<Json::Value> logins = im.LoginPackets();
    ASSERT_FALSE(logins.empty());
    im.Server().Push(FakeIMServer::SysPacket(
        kA, "kickout", {{"regsterid", logins.back()["transid"].asString()}, {"reason", "x"}}));
    ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_RECV_KICKOUT, std::nullopt, kWait));
  }
  // The program opens B's database at once, while A's download is still under way;
  // only then does the download come back.
  ASSERT_EQ(api.SetDatabase(File("b.db").c_str()), 2);
  worldA.ReleaseHeld();
  if (olderDialog != 0) {
    auto answer = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_GETHISTORYMSG, olderDialog, kWait);
    ASSERT_TRUE(answer);
  }
  // B logs in; its own pass runs after whatever A's pass left, on the same worker.
  const size_t reports = CallbackRecorder::Get().Reports().size();
  ASSERT_NO_FATAL_FAILURE(LogIn(profileB));
  ASSERT_TRUE(WaitForPassEnd(reports));

  for (const auto& [table, rows] : Rows()) EXPECT_EQ(rows, 0) << table << " of B's file";
  EXPECT_EQ(One("select count(*) from nq_saveinfo where Key like '%@group.%'"), "0");

  // A's file, opened again, lost nothing it held.
  ASSERT_EQ(api.SetDatabase(File("a.db").c_str()), 2);
  for (const auto& [table, rows] : Rows()) EXPECT_GE(rows, atSwitch.at(table)) << table;
}

// The other way round: B's download is in flight when B logs out and A's file is
// opened again; none of B's data reaches A's file.
TEST_F(AccountIsolationEnv, NothingOfTheSecondAccountReachesTheFirstAfterASwitchBack) {
  ASSERT_EQ(api.SetDatabase(File("a.db").c_str()), 2);
  ASSERT_NO_FATAL_FAILURE(LogIn(profileA));
  ASSERT_TRUE(WaitForPassEnd(0));
  const std::map<std::string, int> before = Rows();
  ASSERT_EQ(api.MakeUnRegister(), 1);

  // B has friends, groups and messages of its own, marked by their ids. The user
  // is served by the domain's user server, which the login names.
  usersA.AddUser(User("8001@im.test"));
  usersB.AddUser(User("8001@im.test"));
  usersB.SetFriend("8001@im.test");
  for (int g = 1; g <= 6; ++g) {
    FakeSyncWorld::Group group;
    group.groupid = std::to_string(610000 + g) + "@group." + kDomain;
    worldB.AddGroup(group);
    for (int m = 0; m < 5; ++m) {
      FakeSyncWorld::Message message;
      message.id = 900000 + g * 100 + m;
      message.fromuser = "8001@im.test";
      message.fromgroup = group.groupid;
      message.touser = group.groupid;
      message.content = "B's group " + std::to_string(g);
      worldB.AddMessage(message);
    }
  }
  worldB.HoldAfter(FakeSyncWorld::kGroupMidPath, 2);
  ASSERT_EQ(api.SetDatabase(File("b.db").c_str()), 2);
  ASSERT_NO_FATAL_FAILURE(LogIn(profileB));
  ASSERT_TRUE(worldB.WaitHeld(1, 60000));
  const std::map<std::string, int> atSwitch = Rows();
  for (const char* table : kTables) ASSERT_GT(atSwitch.at(table), 0) << table;

  ASSERT_EQ(api.MakeUnRegister(), 1);
  ASSERT_EQ(api.SetDatabase(File("a.db").c_str()), 2);
  worldB.ReleaseHeld();
  const size_t reports = CallbackRecorder::Get().Reports().size();
  ASSERT_NO_FATAL_FAILURE(LogIn(profileA));
  ASSERT_TRUE(WaitForPassEnd(reports));

  EXPECT_EQ(Rows(), before);
  EXPECT_EQ(One("select count(*) from nq_message where content like 'B''s%' or msgid>=900000"),
            "0");
  EXPECT_EQ(One("select count(*) from nq_group where groupid like '6100%'"), "0");
  EXPECT_EQ(One("select count(*) from nq_contact where userid=8001 or userid=2002"), "0");
  ASSERT_EQ(api.SetDatabase(File("b.db").c_str()), 2);
  for (const auto& [table, rows] : Rows()) EXPECT_GE(rows, atSwitch.at(table)) << table;
}

// What the program queued as A and no worker has taken yet when A logs out and B
// logs in: run then, each would act as B (the program's own GETs and POSTs carry
// B's token, commands change B's settings). None runs; each is answered once, as
// failed, with no text.
TEST_F(AccountIsolationEnv, RequestsQueuedBeforeALogoutAreAnsweredAsFailedNotRun) {
  Gate busy;
  FakeHttpServer side;
  side.Handle("/hold", [&](const FakeRequest&) {
    busy.Enter();
    return FakeReply::Json("{\"code\": 1}");
  });
  side.Route("/late", FakeReply::Json("{\"code\": 1}"));
  ASSERT_TRUE(side.Start());
  struct Opener {
    Gate& gate;
    ~Opener() { gate.Open(); }
  } opener{busy};

  ASSERT_EQ(api.SetDatabase(File("a.db").c_str()), 2);
  ASSERT_NO_FATAL_FAILURE(LogIn(profileA));
  // Every request worker is held by a GET of A's.
  const std::string hold = side.Url("/hold");
  for (int i = 0; i < 4; ++i) api.SendGet(9000 + i, hold.c_str());
  ASSERT_TRUE(busy.WaitInside(4));

  const std::string late = side.Url("/late");
  const struct {
    const char* what;
    int code;
    std::function<int()> queue;
  } requests[] = {
      {"post", _REQUEST_HTTP_SENDPOST,
       [&] { return api.SendPost(9101, late.c_str(), "{\"mute\": 1}"); }},
      {"get", _REQUEST_HTTP_SENDGET, [&] { return api.SendGet(9102, late.c_str()); }},
      {"group command", _REQUEST_HTTP_GROUPCOMMAND,
       [&] {
         return api.GroupCommand(
             9103, ("\"command\": \"quitgroup\", \"groupid\": \"" + GroupId(1) + "\"").c_str());
       }},
      {"user command", _REQUEST_HTTP_USERCOMMAND,
       [&] { return api.UserCommand(9104, "{\"command\": \"setsummary\", \"summary\": \"x\"}"); }},
      {"read mark", _REQUEST_HTTP_READMSGIM, [&] { return api.ReadMsgIM(kPeer); }},
  };
  std::vector<int> ids;
  for (const auto& r : requests) ids.push_back(r.queue());

  ASSERT_EQ(api.MakeUnRegister(), 1);
  ASSERT_EQ(api.SetDatabase(File("b.db").c_str()), 2);
  ASSERT_NO_FATAL_FAILURE(LogIn(profileB));
  busy.Open();

  for (int i = 0; i < 4; ++i)
    ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_SENDGET, 9000 + i, kWait));
  for (size_t i = 0; i < ids.size(); ++i) {
    SCOPED_TRACE(requests[i].what);
    auto answer = CallbackRecorder::Get().WaitFor(requests[i].code, ids[i], kWait);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->a, kRequestLoginOver);
    EXPECT_EQ(answer->text, "");
  }
  // Once the workers are free again, nothing more came.
  const int marker = api.SendGet(9200, late.c_str());
  ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_SENDGET, marker, kWait));
  for (size_t i = 0; i < ids.size(); ++i)
    EXPECT_EQ(CallbackRecorder::Get().Count(requests[i].code, ids[i]), 1u) << requests[i].what;
  EXPECT_EQ(side.Requests("/late").size(), 1u);  // the marker, sent as B
  EXPECT_EQ(side.Requests("/hold").size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, AccountIsolationTest,
    ::testing::Values(Case{"LogoutWhileAGroupDownloads", Cut::kLogout, InFlight::kGroupHistory},
                      Case{"LogoutWhileOlderMessagesDownload", Cut::kLogout,
                           InFlight::kOlderMessages},
                      Case{"KickOutWhileAGroupDownloads", Cut::kKickOut, InFlight::kGroupHistory}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
