// The background synchronisation after a login: the order of its events, the
// database it leaves behind, and each task's decisions and failures.
#include <gtest/gtest.h>
#include <json/json.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "engine/services/sync_test_env.h"
#include "fakes/FakeIMSessionServer.h"
#include "fakes/FakeLoginServer.h"
#include "services/TSyncWorker.h"

namespace {

using synctest::kOwn;
using synctest::SyncEnv;

constexpr char kGroupA[] = "51@group.a.test";
constexpr char kGroupB[] = "52@group.a.test";

FakeSyncWorld::Group WorldGroup(const std::string& id, int role = 3) {
  FakeSyncWorld::Group g;
  g.groupid = id;
  g.groupname = "Group " + id.substr(0, 2);
  g.role = role;
  g.nick = "me in " + id.substr(0, 2);
  return g;
}

void AddGroupMessages(FakeSyncWorld& world, const std::string& group, int64_t first, int count) {
  for (int i = 0; i < count; ++i) {
    FakeSyncWorld::Message m;
    m.id = first + i;
    m.fromuser = i % 3 ? "3003@a.test" : kOwn;
    m.fromgroup = group;
    m.touser = group;
    m.content = "in " + group + " #" + std::to_string(m.id);
    m.curtime = "2024-06-03 09:00:00";
    world.AddMessage(m);
  }
}

// A whole login through TAPIInterface against the login servers, with the world
// and the user server behind the login reply's server list.
class SyncAfterLoginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    servers.SetIMPort(im.Port());
    users.SetOwn("1001@im.test");
    users.Mount(servers.User(), "im.test");
    world.SetOwn("1001@im.test");
    ASSERT_TRUE(servers.Start());
    CallbackRecorder::Get().Clear();
    api.Init();
    api.SetCallBack(&CallbackRecorder::Callback);
    api.SetServerInfo("127.0.0.1", servers.Login().Port());
    api.SetDeviceType(2);
    api.Run();
  }
  void TearDown() override { api.Release(); }

  FakeLoginServer servers;
  FakeIMSessionServer im;
  FakeUserServer users;
  FakeSyncWorld world{servers.User()};
  storetest::TempDir dir;
  TAPIInterface api;
};

std::vector<int> SyncCodes() {
  static const std::set<int> codes = {
      _EVENT_LOGIN_SUCCESS,           _EVENT_REPORT_FRIENDNOTIFY, _EVENT_COME_GROUPNOTIFY,
      _EVENT_REPORT_FIRSTGROUPUPDATE, _EVENT_REPORT_GROUPUPDATE,  _EVENT_REPORT_GROUPMSGID,
      _EVENT_COME_IMMESSAGE,          _EVENT_COME_HISTORYIM,      _EVENT_COME_FINISHIMHISTORY};
  std::vector<int> out;
  for (const RecordedReport& r : CallbackRecorder::Get().Reports())
    if (codes.count(r.code)) out.push_back(r.code);
  return out;
}

TEST_F(SyncAfterLoginTest, EventsComeInThePassOrderAndTheFirstGroupUpdateOncePerRun) {
  world.AddConversation("2002@im.test", 100, 40);
  world.AddGroup(WorldGroup("51@group.im.test"));
  AddGroupMessages(world, "51@group.im.test", 500, 10);
  ASSERT_EQ(api.SetDatabase(dir.File("tesChat.db").c_str()), 2);
  ASSERT_EQ(api.SetMobileLogin("13800000000", "+86", "123456", "DEVICE-1", 1), 1);
  ASSERT_EQ(api.MakeRegister(), 1);
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_COME_FINISHIMHISTORY, 1,
                                                   std::chrono::seconds(120)));

  std::vector<int> codes = SyncCodes();
  ASSERT_GE(codes.size(), 7u);
  const std::vector<int> head = {_EVENT_LOGIN_SUCCESS,      _EVENT_REPORT_FRIENDNOTIFY,
                                 _EVENT_COME_GROUPNOTIFY,   _EVENT_REPORT_FIRSTGROUPUPDATE,
                                 _EVENT_REPORT_GROUPUPDATE, _EVENT_REPORT_GROUPMSGID};
  EXPECT_EQ(std::vector<int>(codes.begin(), codes.begin() + 6), head);
  EXPECT_EQ(codes.back(), _EVENT_COME_FINISHIMHISTORY);
  size_t history = 0;
  for (size_t i = 6; i + 1 < codes.size(); ++i) {
    EXPECT_TRUE(codes[i] == _EVENT_COME_IMMESSAGE || codes[i] == _EVENT_COME_HISTORYIM)
        << "event " << codes[i] << " at " << i;
    history += codes[i] == _EVENT_COME_HISTORYIM;
  }
  EXPECT_GE(history, 2u);  // the peer and the group
  // A first login starts the groups from the present: a = 0, the newest id stored.
  EXPECT_EQ(CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_GROUPMSGID)[0].a, 0);
  EXPECT_EQ(api.GetDatabaseManager()->GetSaveInfo(2, "51@group.im.test"), "509");
  // The first download takes the newest 30 one-to-one messages.
  EXPECT_EQ(storetest::SelectOne(api, "select count(*) from nq_message where totype=0"), "30");
  // The friend list was fetched (the login reply named version 3, nothing stored).
  EXPECT_EQ(api.GetDatabaseManager()->GetSaveInfo(1, "FRIENDVER"),
            std::to_string(users.FriendVersion()));

  // Another pass in the same run: no 100020.
  TEngineCore::Instance()->GetRequestService()->SetLoggedIn(0);
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_COME_FINISHIMHISTORY, 2,
                                                   std::chrono::seconds(120)));
  EXPECT_EQ(CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_FIRSTGROUPUPDATE).size(), 1u);
  EXPECT_EQ(CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_GROUPUPDATE).size(), 2u);
}

class SyncWorkerTest : public SyncEnv {
 protected:
  // A database that has synchronised before: history since the given time, groups
  // with the given last message ids.
  void SeedEarlierRun(const std::map<std::string, long long>& groups) {
    Db()->SetSaveInfo(2, "FIRSTDOWNIM", "1");
    Db()->SetSaveInfo(2, "FIRSTDOWNGROUPMSGID", "1");
    Db()->SetSaveInfo(3, "logintime", "2024-01-01 00:00:00");
    for (const auto& g : groups) {
      Db()->Exec("insert into nq_group(groupid,groupname,groupstate,version) values('" + g.first +
                 "','old',0,1)");
      Db()->SetSaveInfoInt(2, g.first, g.second);
    }
  }
  void Pass(size_t count = 1) {
    core->GetRequestService()->SetLoggedIn(0);
    ASSERT_TRUE(WaitForPassEnd(count));
  }
};

TEST_F(SyncWorkerTest, ALaterLoginLeavesTheDatabaseEqualToTheWorldsHistory) {
  world.SetLoginTimePageSize(64);
  world.AddConversation("2002@a.test", 1000, 300, "2024-06-01 08:00:00");
  world.AddConversation("2003@a.test", 2000, 300, "2024-06-01 09:00:00");
  world.AddConversation("2004@a.test", 3000, 300, "2024-06-01 10:00:00");
  // Each recall by the message's own sender: the peer's, or the own account's.
  for (int64_t target : {1010, 2021, 3031}) {
    FakeSyncWorld::Message revoke;
    revoke.id = target + 5000;
    revoke.fromuser = target < 2000 ? "2002@a.test" : kOwn;
    revoke.touser = target < 2000 ? kOwn : (target < 3000 ? "2003@a.test" : "2004@a.test");
    revoke.msgtype = "revoke";
    revoke.content = std::to_string(target);
    revoke.curtime = "2024-06-02 00:00:00";
    world.AddMessage(revoke);
  }
  world.AddGroup(WorldGroup(kGroupA));
  world.AddGroup(WorldGroup(kGroupB));
  AddGroupMessages(world, kGroupA, 9000, 20);
  AddGroupMessages(world, kGroupB, 9500, 60);
  // Group A is up to date; group B has 60 new messages after 9499.
  SeedEarlierRun({{kGroupA, 9019}, {kGroupB, 9499}});
  Db()->Exec(
      "insert into nq_message(msgid,fromuser,fromgroup,touser,totype,accountid,content) "
      "values(9499,'3003@a.test','52@group.a.test','52@group.a.test',1,52,'older')");

  Pass();
  ASSERT_EQ(Events(_EVENT_REPORT_GROUPMSGID), 1u);
  EXPECT_EQ(CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_GROUPMSGID)[0].a, 1);
  auto groupAsks = world.Requests(FakeSyncWorld::kGroupIdsPath);
  ASSERT_EQ(groupAsks.size(), 1u);
  EXPECT_NE(groupAsks[0].query.find("pagesize=120&touser=52@group.a.test"), std::string::npos);

  // Every one-to-one message of the world, once, as the world holds it.
  std::set<std::tuple<std::string, std::string, std::string, std::string>> expected;
  std::set<std::tuple<std::string, std::string, std::string, std::string>> stored;
  for (const FakeSyncWorld::Message& m : world.Messages()) {
    if (m.touser.find("group.") != std::string::npos || m.msgtype == "revoke") continue;
    expected.emplace(std::to_string(m.id), m.fromuser, m.touser, m.content);
  }
  for (const auto& row : Rows("select msgid,fromuser,touser,content from nq_message where "
                              "totype=0 and msgtype=0"))
    stored.emplace(row[0], row[1], row[2], row[3]);
  EXPECT_EQ(stored, expected);
  EXPECT_TRUE(
      Rows("select msgid,totype from nq_message group by msgid,touser having count(*)>1").empty());
  // Revokes applied: each names its target's local id.
  EXPECT_EQ(One("select group_concat(msgid) from (select msgid from nq_message where "
                "revokeflag=1 order by msgid)"),
            "1010,2021,3031");
  for (int64_t target : {1010, 2021, 3031}) {
    EXPECT_EQ(One("select content from nq_message where msgtype=9 and msgid=" +
                  std::to_string(target + 5000)),
              One("select id from nq_message where msgid=" + std::to_string(target)));
  }
  // Group B's new messages, group A's none.
  EXPECT_EQ(One("select count(*) from nq_message where touser='52@group.a.test'"), "61");
  EXPECT_EQ(One("select count(*) from nq_message where touser='51@group.a.test'"), "0");
  EXPECT_EQ(Db()->GetSaveInfo(2, kGroupB), "9559");
  // The conversation list names each conversation's newest message.
  EXPECT_EQ(One("select content from nq_messagenew where account='2003@a.test'"),
            One("select content from nq_message where msgid=7021"));

  // Nothing new on a second pass: no further mid-history.
  const size_t mids = world.Count(FakeSyncWorld::kGroupMidPath);
  const std::string count = One("select count(*) from nq_message");
  Pass(2);
  EXPECT_EQ(One("select count(*) from nq_message"), count);
  EXPECT_EQ(world.Count(FakeSyncWorld::kGroupMidPath), mids);
}

// Rows that could not be written (a full disk, a file locked elsewhere) leave the
// conversation's last message id where it was, so the next pass fetches them again.
TEST_F(SyncWorkerTest, APageThatCouldNotBeStoredIsFetchedAgainByTheNextPass) {
  const struct {
    const char* name;
    const char* key;  // where the last message id is kept
    const char* where;
    const char* rows;
    const char* lastId;
  } rows[] = {
      {"group history", kGroupA, "touser='51@group.a.test'", "20", "9019"},
      {"one-to-one history since the login time", "PERSON", "totype=0", "50", "1049"},
  };
  world.AddGroup(WorldGroup(kGroupA));
  AddGroupMessages(world, kGroupA, 9000, 20);
  world.AddConversation("2002@a.test", 1000, 50, "2024-06-01 08:00:00");
  SeedEarlierRun({{kGroupA, 8999}});
  // Every message insert fails; the settings table still takes writes.
  ASSERT_TRUE(
      Db()->Exec("create trigger disk_full before insert on nq_message begin select "
                 "raise(abort, 'disk full'); end"));
  Pass();
  ASSERT_EQ(One("select count(*) from nq_message"), "0");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Db()->GetSaveInfo(2, row.key), row.key == std::string("PERSON") ? "" : "8999");
  }

  ASSERT_TRUE(Db()->Exec("drop trigger disk_full"));
  Pass(2);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(One(std::string("select count(*) from nq_message where ") + row.where), row.rows);
    EXPECT_EQ(Db()->GetSaveInfo(2, row.key), row.lastId);
  }
}

// The later chunks of a download are still stored after an unreadable one, but the
// group's last message id does not move past the rows that chunk should have brought.
TEST_F(SyncWorkerTest, AnUnreadableChunkIsFetchedAgainByTheNextPass) {
  world.AddGroup(WorldGroup(kGroupA));
  AddGroupMessages(world, kGroupA, 9000, 120);  // two chunks: 100 and 20
  SeedEarlierRun({{kGroupA, 8999}});
  world.ScriptNext(FakeSyncWorld::kGroupMidPath, "not a reply");
  Pass();
  ASSERT_EQ(world.Count(FakeSyncWorld::kGroupMidPath), 2u);
  EXPECT_EQ(One("select count(*) from nq_message where touser='51@group.a.test'"), "20");
  EXPECT_EQ(Db()->GetSaveInfo(2, kGroupA), "8999");

  Pass(2);
  EXPECT_EQ(One("select count(*) from nq_message where touser='51@group.a.test'"), "120");
  EXPECT_EQ(Db()->GetSaveInfo(2, kGroupA), "9119");
}

TEST_F(SyncWorkerTest, FriendListIsFetchedOnlyWhenTheStoredVersionDiffers) {
  users.SetFriend("2002@a.test");
  users.SetFriend("2003@a.test");
  core->SetFriendVersion(users.FriendVersion());
  Pass();
  auto friendAsks = user.Requests(FakeUserServer::kFriendPath);
  ASSERT_EQ(friendAsks.size(), 1u);
  Json::Value body;
  ASSERT_TRUE(Json::Reader().parse(friendAsks[0].body, body));
  EXPECT_EQ(body["userid"].asString(), "1001");
  EXPECT_EQ(body["version"].asInt(), 0);
  EXPECT_FALSE(body["transid"].asString().empty());
  EXPECT_NE(CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_FRIENDNOTIFY)[0].text, "");
  EXPECT_EQ(Db()->GetSaveInfo(1, "FRIENDVER"), std::to_string(users.FriendVersion()));

  // Equal now: no getfriend, an empty 100010.
  Pass(2);
  EXPECT_EQ(user.Requests(FakeUserServer::kFriendPath).size(), 1u);
  EXPECT_EQ(CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_FRIENDNOTIFY)[1].text, "");
}

// The stored friend version says the list is current: a list whose removal could
// not be written leaves it unset, so the next pass fetches the list again.
TEST_F(SyncWorkerTest, AFriendListNotFullyStoredIsFetchedAgain) {
  const std::string friendIds =
      "select group_concat(userid) from (select userid from nq_contact where isfriend=1 order "
      "by userid)";
  for (const char* id : {"2002", "2003"}) {
    FakeUserServer::User u;
    u.userId = id;
    u.account = std::string(id) + "@a.test";
    u.name = std::string("User ") + id;
    users.AddUser(u);
  }
  users.SetFriend("2002@a.test");
  users.SetFriend("2003@a.test");
  users.SetFriend("2003@a.test", true);
  core->SetFriendVersion(users.FriendVersion());
  ASSERT_TRUE(
      Db()->Exec("create trigger disk_full before update of isfriend on nq_contact when "
                 "new.isfriend=0 begin select raise(abort, 'disk full'); end"));
  Pass();
  ASSERT_EQ(One(friendIds), "2002,2003");
  EXPECT_EQ(Db()->GetSaveInfo(1, "FRIENDVER"), "");

  ASSERT_TRUE(Db()->Exec("drop trigger disk_full"));
  Pass(2);
  EXPECT_EQ(user.Requests(FakeUserServer::kFriendPath).size(), 2u);
  EXPECT_EQ(One(friendIds), "2002");
  EXPECT_EQ(Db()->GetSaveInfo(1, "FRIENDVER"), std::to_string(users.FriendVersion()));
}

TEST_F(SyncWorkerTest, GroupUpdateErrorsChangeNothingAndAcceptedRepliesMarkLeftGroups) {
  SeedEarlierRun({{kGroupA, 0}, {kGroupB, 0}});
  Db()->Exec(
      "insert into nq_groupuser(groupid,account,nick,role) values('51@group.a.test',"
      "'1001@a.test','old nick',3)");
  world.SetFixedReply(FakeSyncWorld::kGroupPath, R"({"code":0,"msg":"busy","result":{}})");
  Pass();
  EXPECT_EQ(One("select count(*) from nq_group where groupstate=0"), "2");
  EXPECT_EQ(Events(_EVENT_COME_GROUPNOTIFY), 0u);
  EXPECT_EQ(Events(_EVENT_REPORT_GROUPUPDATE), 1u);
  Json::Value body;
  ASSERT_TRUE(Json::Reader().parse(world.Requests(FakeSyncWorld::kGroupPath)[0].body, body));
  EXPECT_EQ(body["cmd"].asString(), "getupdate");
  ASSERT_EQ(body["group"].size(), 2u);
  EXPECT_EQ(body["group"][0]["id"].asString(), kGroupA);
  EXPECT_EQ(body["group"][0]["ver"].asInt(), 1);

  // Accepted: A stays with new fields and the own role; B is gone from the reply; a
  // third group arrives with role 0 (left), its member row inserted with role 0.
  world.SetFixedReply(FakeSyncWorld::kGroupPath, "");
  FakeSyncWorld::Group a = WorldGroup(kGroupA, 2);
  a.groupname = "It's A";
  a.groupversion = 5;
  a.detail = R"("owner":["9009@a.test"])";
  world.AddGroup(a);
  world.AddGroup(WorldGroup("53@group.a.test", 0));
  Pass(2);
  EXPECT_EQ(Rows("select groupid,groupstate,groupname,version,craccount from nq_group order by "
                 "groupid"),
            (storetest::Rows{{kGroupA, "0", "It's A", "5", "9009@a.test"},
                             {kGroupB, "1", "old", "1", ""},
                             {"53@group.a.test", "1", "Group 53", "1", ""}}));
  EXPECT_EQ(Rows("select groupid,nick,role from nq_groupuser order by groupid"),
            (storetest::Rows{{kGroupA, "me in 51", "2"}, {"53@group.a.test", "me in 53", "0"}}));
  EXPECT_EQ(Events(_EVENT_COME_GROUPNOTIFY), 1u);
  Json::Value notify;
  ASSERT_TRUE(Json::Reader().parse(
      CallbackRecorder::Get().ReportsWith(_EVENT_COME_GROUPNOTIFY)[0].text, notify));
  EXPECT_EQ(notify["notify"].asString(), "status");
  EXPECT_TRUE(notify["group"].isArray());
}

// A child group's parent, known by name and logo only, never hides the parent's own
// row when the same reply lists the parent too.
TEST_F(SyncWorkerTest, AParentListedInTheReplyKeepsItsOwnRow) {
  auto child = [](const std::string& id, const std::string& parent) {
    FakeSyncWorld::Group g = WorldGroup(id);
    g.parentid = parent;
    g.detail = R"("parentname":"named by )" + id.substr(0, 2) + R"(","parentlogo":"logo")";
    return g;
  };
  const struct {
    const char* name;
    std::vector<FakeSyncWorld::Group> groups;  // the reply's groups
    const char* parent;
    const char* row;     // the parent's groupstate|groupname
    const char* member;  // the own member row's role in the parent, "" for none
  } rows[] = {
      {"child sorted before its listed parent",
       {child("61@group.a.test", "62@group.a.test"), WorldGroup("62@group.a.test")},
       "62@group.a.test",
       "0|Group 62",
       "3"},
      {"child sorted after its listed parent",
       {child("64@group.a.test", "63@group.a.test"), WorldGroup("63@group.a.test")},
       "63@group.a.test",
       "0|Group 63",
       "3"},
      {"parent not listed",
       {child("65@group.a.test", "66@group.a.test")},
       "66@group.a.test",
       "1|named by 65",
       ""},
      {"two children of a parent not listed",
       {child("67@group.a.test", "69@group.a.test"), child("68@group.a.test", "69@group.a.test")},
       "69@group.a.test",
       "1|named by 67",
       ""},
  };
  for (const auto& row : rows)
    for (const FakeSyncWorld::Group& g : row.groups) world.AddGroup(g);
  Pass();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(One(std::string("select groupstate||'|'||groupname from nq_group where groupid='") +
                  row.parent + "'"),
              row.row);
    EXPECT_EQ(One(std::string("select role from nq_groupuser where groupid='") + row.parent +
                  "' and account='" + kOwn + "'"),
              row.member);
  }
}

TEST_F(SyncWorkerTest, AccountWithoutGroupsSendsAnEmptyListAndNoMessageIdRequest) {
  Pass();
  Json::Value body;
  ASSERT_TRUE(Json::Reader().parse(world.Requests(FakeSyncWorld::kGroupPath)[0].body, body));
  EXPECT_TRUE(body["group"].isArray());
  EXPECT_EQ(body["group"].size(), 0u);
  EXPECT_EQ(world.Count(FakeSyncWorld::kMsgIdPath), 0u);
  EXPECT_EQ(Events(_EVENT_REPORT_GROUPMSGID), 0u);
  EXPECT_EQ(Db()->GetSaveInfo(2, "FIRSTDOWNIM"), "1");
  EXPECT_FALSE(Db()->GetSaveInfo(3, "logintime").empty());
}

TEST_F(SyncWorkerTest, StateIsForgottenWhenAnotherAccountsDatabaseOpens) {
  Pass();
  EXPECT_EQ(TSyncWorker::FirstGroupUpdateDone(), 1);
  EXPECT_EQ(TSyncWorker::FirstDownload(), 1);
  ASSERT_EQ(api.SetDatabase(dir.File("other.db").c_str()), 2);
  EXPECT_EQ(TSyncWorker::FirstGroupUpdateDone(), 0);
  EXPECT_EQ(TSyncWorker::FirstDownload(), 0);
  EXPECT_TRUE(TSyncWorker::NewMessageGroups().empty());
}

TEST(SyncWorkerUnitTest, LaterTimeTable) {
  struct Row {
    const char* first;
    const char* second;
    const char* later;
  } rows[] = {
      {"", "2024-01-01 00:00:00", "2024-01-01 00:00:00"},
      {"2024-01-01 00:00:00", "", "2024-01-01 00:00:00"},
      {"", "", ""},
      {"2024-05-01 10:00:00", "2024-05-01 09:59:59", "2024-05-01 10:00:00"},
      {"2024-05-01 09:59:59", "2024-05-01 10:00:00", "2024-05-01 10:00:00"},
      {"2024-05-01 10:00:00", "2024-05-01 10:00:00", "2024-05-01 10:00:00"},
      {"2023-12-31 23:59:59", "2024-01-01 00:00:00", "2024-01-01 00:00:00"},
  };
  for (const Row& r : rows) EXPECT_EQ(TSyncWorker::LaterTime(r.first, r.second), r.later);
  EXPECT_EQ(TSyncWorker::GroupKey("51@group.a.test"), "51");
  EXPECT_EQ(TSyncWorker::GroupKey("@group.a.test"), "");
  EXPECT_EQ(TSyncWorker::GroupKey("51"), "");
}

TEST(SyncWorkerUnitTest, StopFreesQueuedTasksAndJoinsTheThread) {
  THttpRequestService service(nullptr);
  {
    TSyncWorker worker(service);
    for (int i = 0; i < 50; ++i) worker.PostTask(new TAPIPacket);
    EXPECT_EQ(worker.QueuedCount(), 50u);
    worker.Stop();  // never started: the tasks are freed all the same
    EXPECT_EQ(worker.QueuedCount(), 0u);
  }
  TAPIInterface api;  // the worker runs while the engine does
  api.Init();
  api.Run();
  TSyncWorker worker(service);
  worker.Start();
  worker.Start();
  // Unknown task codes do nothing; the worker takes them and goes on.
  for (int i = 0; i < 20; ++i) {
    TAPIPacket* task = new TAPIPacket;
    task->code = 77;
    worker.PostTask(task);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (worker.QueuedCount() > 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(worker.QueuedCount(), 0u);
  worker.Stop();
  worker.Stop();
  api.Release();
}

}  // namespace
