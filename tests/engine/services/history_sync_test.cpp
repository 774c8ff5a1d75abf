// History downloads against the scripted world: id lists, mid-history chunks, the
// duplicate test under concurrency, revokes, group trims, the login-time loop and
// request 200206.
#include <gtest/gtest.h>
#include <json/json.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/services/sync_test_env.h"
#include "fakes/FakeImHttpPaths.h"
#include "services/THistorySync.h"

namespace {

using synctest::kOwn;
using synctest::SyncEnv;

constexpr char kPeer[] = "2002@a.test";
constexpr char kGroup[] = "77@group.a.test";
constexpr char kTwin[] = "77@a.test";  // a one-to-one peer whose number is the group's

std::string IdList(int64_t first, int count) {
  std::string ids;
  for (int i = 0; i < count; ++i) ids += (i ? "," : "") + std::to_string(first + i);
  return ids;
}

FakeSyncWorld::Message GroupMessage(int64_t id, const std::string& from) {
  FakeSyncWorld::Message m;
  m.id = id;
  m.fromuser = from;
  m.fromgroup = kGroup;
  m.touser = kGroup;
  m.content = "group line " + std::to_string(id);
  return m;
}

class HistorySyncTest : public SyncEnv {};

TEST_F(HistorySyncTest, MissingIdsAreFetchedInChunksOfAHundredAndStoredOnce) {
  world.AddConversation(kPeer, 1000, 250);
  const std::string ids = IdList(1000, 250);
  OnWorker([&](THistorySync& h, TAPIPacket* p) {
    h.GetMidHistory(p, ids, 0, 1);
    return 0;
  });
  auto posts = world.Requests(FakeSyncWorld::kUserMidPath);
  ASSERT_EQ(posts.size(), 3u);
  EXPECT_EQ(posts[0].idCount, 100u);
  EXPECT_EQ(posts[1].idCount, 100u);
  EXPECT_EQ(posts[2].idCount, 50u);
  EXPECT_EQ(One("select count(*) from nq_message"), "250");
  EXPECT_EQ(One("select count(*) from nq_message where seeflag=1 and sendstate=1 and totype=0"),
            "250");
  // Quotes in the content are stored whole.
  EXPECT_EQ(One("select content from nq_message where msgid=1000"),
            "message 1000 to 1001@a.test: it's here");
  EXPECT_EQ(One("select sendflag||localsend from nq_message where msgid=1001"), "11");
  EXPECT_EQ(One("select sendflag||localsend from nq_message where msgid=1000"), "00");
  EXPECT_EQ(One("select accountid from nq_message where msgid=1001"), "2002");

  // Everything stored: no POST at all.
  OnWorker([&](THistorySync& h, TAPIPacket* p) {
    h.GetMidHistory(p, ids, 0, 1);
    return 0;
  });
  EXPECT_EQ(world.Count(FakeSyncWorld::kUserMidPath), 3u);
}

TEST_F(HistorySyncTest, MissingIdsUseTheSmallestAndLargestIdOfAnUnorderedList) {
  world.AddConversation(kPeer, 10, 5);
  OnWorker([&](THistorySync& h, TAPIPacket* p) {
    h.GetMidHistory(p, "11,13", 0, 1);
    return 0;
  });
  OnWorker([&](THistorySync&, TAPIPacket* p) {
    // Stored 11 and 13 lie inside the range of this list only by its minimum and
    // maximum; garbage items are dropped.
    p->s4 = THistorySync::FilterMissingIds("", "12,13,x1,,10,11,14");
    return 0;
  });
  auto r = CallbackRecorder::Get().ReportsWith(synctest::kRunOnWorker);
  ASSERT_FALSE(r.empty());
  EXPECT_EQ(r.back().text, "12,10,14");
}

TEST_F(HistorySyncTest, TwoConcurrentDownloadsOfTheSameIdsStoreEachMessageOnce) {
  world.AddConversation(kPeer, 5000, 400);
  const std::string ids = IdList(5000, 400);
  for (int round = 0; round < 3; ++round) {
    std::vector<std::thread> runs;
    for (int i = 0; i < 2; ++i) {
      runs.emplace_back([&] {
        OnWorker([&](THistorySync& h, TAPIPacket* p) {
          h.GetMidHistory(p, ids, 0, 1);
          return 0;
        });
      });
    }
    for (auto& t : runs) t.join();
  }
  EXPECT_EQ(One("select count(*) from nq_message"), "400");
  EXPECT_TRUE(Rows("select msgid from nq_message group by msgid having count(*)>1").empty());
}

TEST_F(HistorySyncTest, RevokesMarkStoredMessagesAndUnknownOnesAreDropped) {
  // 100 and 102 are the peer's, 101 and 103 the own account's.
  world.AddConversation(kPeer, 100, 4);
  FakeSyncWorld::Message revoke;
  revoke.id = 104;
  revoke.fromuser = kPeer;
  revoke.touser = kOwn;
  revoke.msgtype = "revoke";
  revoke.content = "102";
  world.AddMessage(revoke);
  revoke.id = 105;
  revoke.content = "99";  // never stored
  world.AddMessage(revoke);
  // The revoke comes in the same page as the message it names, listed before it.
  OnWorker([&](THistorySync& h, TAPIPacket* p) {
    h.GetMidHistory(p, "105,104,103,102,101,100", 0, 1);
    return 0;
  });
  const std::string revoked = One("select id from nq_message where msgid=102");
  EXPECT_EQ(One("select revokeflag from nq_message where msgid=102"), "1");
  EXPECT_EQ(One("select count(*) from nq_message where revokeflag=1"), "1");
  EXPECT_EQ(One("select content from nq_message where msgid=104 and msgtype=9"), revoked);
  EXPECT_EQ(One("select count(*) from nq_message where msgid=105"), "0");
}

// A group recall downloaded with the history counts as a pushed one does: only from
// the writer or an owner or manager the member table knows; a refused one is dropped.
TEST_F(HistorySyncTest, AGroupRecallInHistoryIsAppliedOnlyForTheWriterTheOwnerOrAManager) {
  const char* kWriter = "4001@a.test";
  const struct {
    const char* account;
    const char* group;
    int role;
  } members[] = {{kWriter, kGroup, 3},
                 {"4002@a.test", kGroup, 1},
                 {"4003@a.test", kGroup, 2},
                 {"4004@a.test", kGroup, 3},
                 {"4005@a.test", "78@group.a.test", 2}};
  // The group list names an owner the member table has no row for yet.
  ASSERT_TRUE(Db()->Exec("insert or ignore into nq_group(groupid) values('" + std::string(kGroup) +
                         "')"));
  ASSERT_TRUE(Db()->Exec("update nq_group set craccount='4007@a.test' where groupid='" +
                         std::string(kGroup) + "'"));
  for (const auto& m : members) {
    ASSERT_TRUE(Db()->Exec("insert into nq_groupuser(groupid,account,role) values('" +
                           std::string(m.group) + "','" + m.account + "'," +
                           std::to_string(m.role) + ")"));
  }
  const struct {
    const char* name;
    const char* revoker;
    bool applied;
  } rows[] = {
      {"a plain member recalls another's message", "4004@a.test", false},
      {"a manager of another group", "4005@a.test", false},
      {"someone the member table does not know", "4006@a.test", false},
      {"the writer", kWriter, true},
      {"the owner", "4002@a.test", true},
      {"a manager", "4003@a.test", true},
      {"the owner the group list names", "4007@a.test", true},
  };
  // Each message and its recall in one page, as a reopened chat downloads them.
  std::string ids;
  int64_t id = 300;
  for (const auto& row : rows) {
    world.AddMessage(GroupMessage(id, kWriter));
    FakeSyncWorld::Message revoke = GroupMessage(id + 1, row.revoker);
    revoke.msgtype = "revoke";
    revoke.content = std::to_string(id);
    world.AddMessage(revoke);
    ids += (ids.empty() ? "" : ",") + std::to_string(id) + "," + std::to_string(id + 1);
    id += 2;
  }
  OnWorker(
      [&](THistorySync& h, TAPIPacket* p) {
        h.GetMidHistory(p, ids, 0, 1);
        return 0;
      },
      kGroup);
  id = 300;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(One("select revokeflag from nq_message where msgid=" + std::to_string(id)),
              row.applied ? "1" : "0");
    EXPECT_EQ(One("select count(*) from nq_message where msgid=" + std::to_string(id + 1)),
              row.applied ? "1" : "0");
    id += 2;
  }
}

TEST_F(HistorySyncTest, AGroupKeepsItsNewestNineHundredRowsAndOneToOneRowsAreUntouched) {
  // The twin peer's rows share the group's number in accountid.
  world.AddConversation(kTwin, 1, 20);
  OnWorker([&](THistorySync& h, TAPIPacket* p) {
    h.GetMidHistory(p, IdList(1, 20), 1, 1);
    return 0;
  });
  ASSERT_EQ(One("select count(*) from nq_message where accountid=77 and totype=0"), "20");

  Json::Value array(Json::arrayValue);
  for (int i = 0; i < 905; ++i) {
    Json::Value m;
    m["id"] = 10000 + i;
    m["fromuser"] = i % 2 ? "3003@a.test" : kOwn;
    m["fromgroup"] = kGroup;
    m["touser"] = kGroup;
    m["msgtype"] = "msg";
    m["content"] = "line " + std::to_string(i);
    m["curtime"] = "2024-06-02 10:00:00";
    array.append(m);
  }
  Json::Value root;
  root["code"] = 1;
  root["result"]["maxid"] = 10904;
  root["result"]["count"] = 905;
  root["result"]["finish"] = 1;
  root["result"]["array"] = array;
  const std::string reply = Json::FastWriter().write(root);
  OnWorker(
      [&](THistorySync& h, TAPIPacket* p) {
        int finish = 0;
        return h.ParseHistory(p, reply, 1, 0, &finish);
      },
      kGroup);
  EXPECT_EQ(One("select count(*) from nq_message where totype=1"), "900");
  EXPECT_EQ(One("select min(msgid) from nq_message where totype=1"), "10005");
  EXPECT_EQ(One("select count(*) from nq_message where accountid=77 and totype=0"), "20");
  EXPECT_EQ(THistorySync::GetLastHistoryId(kGroup), 10904);
  // The group's conversation row names its newest message, announced once.
  EXPECT_EQ(One("select content from nq_messagenew where account='77@group.a.test'"), "line 904");
  ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_COME_HISTORYIM));
  bool announced = false;
  for (const RecordedReport& r : CallbackRecorder::Get().ReportsWith(_EVENT_COME_IMMESSAGE)) {
    Json::Value m;
    ASSERT_TRUE(Json::Reader().parse(r.text, m)) << r.text;
    if (m["touser"].asString() == kGroup) {
      announced = true;
      EXPECT_EQ(m["msgid"].asInt64(), 10904);
      EXPECT_EQ(m["content"].asString(), "line 904");
      EXPECT_EQ(m["totype"].asInt(), 1);
    }
  }
  EXPECT_TRUE(announced);
  // Own rows count as seen up to the own newest one.
  EXPECT_EQ(One("select count(*) from nq_message where totype=1 and seeflag=0 and msgid<10904"),
            "0");
}

// The trim after a synchronised download goes by the server's order: a page of older
// messages fetched later has higher local ids, and must be what goes, not the newest
// rows that happen to have the lowest local ids. Rows without a server id stay.
TEST_F(HistorySyncTest, GroupTrimKeepsTheNewestByTheServersOrder) {
  auto page = [](const std::string& group, int64_t first, int count) {
    Json::Value root;
    root["code"] = 1;
    root["result"]["maxid"] = static_cast<Json::Int64>(first + count - 1);
    root["result"]["count"] = count;
    root["result"]["finish"] = 1;
    for (int i = 0; i < count; ++i) {
      Json::Value m;
      m["id"] = static_cast<Json::Int64>(first + i);
      m["fromuser"] = "3003@a.test";
      m["fromgroup"] = group;
      m["touser"] = group;
      m["msgtype"] = "msg";
      m["content"] = "line " + std::to_string(first + i);
      m["curtime"] = "2024-06-02 10:00:00";
      root["result"]["array"].append(m);
    }
    return Json::FastWriter().write(root);
  };
  struct Stored {
    int64_t first;
    int count;
    int finish;  // 1: a synchronised download, which trims
  };
  const struct {
    const char* name;
    const char* group;
    const char* unnumbered;  // a row stored first without a server id, or null
    std::vector<Stored> pages;
    const char* kept;  // min-max of the numbered rows kept, and their count
    const char* unnumberedKept;
  } rows[] = {
      {"paged back, then newer messages",
       "81@group.a.test",
       nullptr,
       {{2000, 900, 1}, {1900, 100, 0}, {2900, 10, 1}},
       "2010-2909 900",
       "0"},
      {"a failed send and a local notice",
       "82@group.a.test",
       "0",
       {{3000, 905, 1}},
       "3006-3904 899",
       "1"},
      {"an older page that itself trims",
       "83@group.a.test",
       nullptr,
       {{5100, 850, 0}, {5000, 100, 1}},
       "5050-5949 900",
       "0"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.unnumbered) {
      ASSERT_TRUE(Db()->Exec(
          std::string("insert into nq_message(msgid,accountid,fromuser,fromgroup,touser,totype,"
                      "content,sendtime) values(") +
          row.unnumbered + "," + std::to_string(std::stoll(row.group)) + ",'" + kOwn + "','" +
          row.group + "','" + row.group + "',1,'not sent','2024-06-02 11:00:00')"));
    }
    for (const Stored& stored : row.pages) {
      const std::string reply = page(row.group, stored.first, stored.count);
      OnWorker(
          [&](THistorySync& h, TAPIPacket* p) {
            int finish = 0;
            return h.ParseHistory(p, reply, stored.finish, 0, &finish);
          },
          row.group);
    }
    const std::string where =
        std::string(" from nq_message where totype=1 and touser='") + row.group + "'";
    EXPECT_EQ(One("select min(msgid)||'-'||max(msgid)||' '||count(*)" + where + " and msgid>0"),
              row.kept);
    EXPECT_EQ(One("select count(*)" + where + " and msgid<=0"), row.unnumberedKept);
  }
}

TEST_F(HistorySyncTest, ReplyWithoutMessagesStillRaisesTheLastIdAndNeverLowersIt) {
  const std::string reply = R"({"code":1,"result":{"maxid":700,"count":0,"finish":1,"array":[]}})";
  const std::string lower = R"({"code":1,"result":{"maxid":600,"count":0,"finish":1,"array":[]}})";
  const std::string refused = R"({"code":0,"result":{"maxid":900}})";
  std::vector<int> results;
  for (const std::string& text : {reply, lower, refused}) {
    results.push_back(OnWorker(
                          [&](THistorySync& h, TAPIPacket* p) {
                            int finish = 0;
                            return h.ParseHistory(p, text, 0, 0, &finish);
                          },
                          kPeer)
                          .a);
  }
  EXPECT_EQ(results, (std::vector<int>{1, 1, 0}));
  EXPECT_EQ(THistorySync::GetLastHistoryId(kPeer), 700);
}

TEST_F(HistorySyncTest, LoginTimeLoopStopsOnFinishOnAnErrorAndOnANonGrowingMaxid) {
  struct Row {
    const char* name;
    std::string fixed;  // the answer to every request; "" for the world's pages
    size_t requests;
  };
  world.SetLoginTimePageSize(40);
  world.AddConversation(kPeer, 1, 100, "2024-06-01 08:00:00");
  const Row rows[] = {
      {"pages until finish", "", 3},
      {"error reply", R"({"code":-3,"msg":"busy"})", 1},
      {"maxid that does not grow",
       R"({"code":1,"result":{"maxid":50,"count":0,"finish":0,"array":[]}})", 2},
      {"no result", R"({"code":1})", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Db()->Exec("delete from nq_saveinfo where key='PERSON'");
    Db()->Exec("delete from nq_message");
    const size_t before = world.Count(FakeSyncWorld::kLoginTimePath);
    world.SetFixedReply(FakeSyncWorld::kLoginTimePath, row.fixed);
    OnWorker([](THistorySync& h, TAPIPacket* p) { return h.SyncHistoryByLoginTime(p); }, "",
             "2024-06-01 07:00:00");
    EXPECT_EQ(world.Count(FakeSyncWorld::kLoginTimePath) - before, row.requests);
  }
  world.SetFixedReply(FakeSyncWorld::kLoginTimePath, "");
  // The login time goes out URL-encoded and the pages fill the table.
  Db()->Exec("delete from nq_saveinfo where key='PERSON'");
  OnWorker([](THistorySync& h, TAPIPacket* p) { return h.SyncHistoryByLoginTime(p); }, "",
           "2024-06-01 08:00:30");
  EXPECT_EQ(One("select count(*) from nq_message"), "70");
  EXPECT_NE(world.Requests(FakeSyncWorld::kLoginTimePath)
                .back()
                .query.find("logintime=2024-06-01%2008:00:30"),
            std::string::npos);
}

TEST_F(HistorySyncTest, LoginTimeDownloadOfSeveralStoreGroupsAsksEachPageOnce) {
  // More than one group of stored pages: each group is stored while the next pages
  // are fetched, every page is asked for once, and every message is stored once.
  constexpr int kEach = 12000;
  constexpr int kPage = 500;
  const std::string second = "2003@a.test";
  static_assert(2 * kEach > static_cast<int>(THistorySync::kStoreRows), "two groups at least");
  world.SetLoginTimePageSize(kPage);
  world.AddConversation(kPeer, 1, kEach, "2024-06-01 08:00:00");
  world.AddConversation(second, 100000, kEach, "2024-06-01 09:00:00");
  OnWorker([](THistorySync& h, TAPIPacket* p) { return h.SyncHistoryByLoginTime(p); }, "",
           "2024-06-01 07:00:00");
  EXPECT_EQ(world.Count(FakeSyncWorld::kLoginTimePath), static_cast<size_t>(2 * kEach / kPage));
  EXPECT_EQ(One("select count(*) from nq_message"), std::to_string(2 * kEach));
  EXPECT_EQ(One("select count(distinct msgid) from nq_message"), std::to_string(2 * kEach));
  EXPECT_EQ(THistorySync::GetLastHistoryId(""), 100000 + kEach - 1);
  for (const auto& [peer, newest] :
       {std::make_pair(std::string(kPeer), kEach), std::make_pair(second, 100000 + kEach - 1)}) {
    SCOPED_TRACE(peer);
    EXPECT_EQ(One("select b.msgid from nq_messagenew a join nq_message b on b.id=a.msgid where "
                  "a.account='" +
                  peer + "'"),
              std::to_string(newest));
    // Everything up to the own account's newest message is read.
    EXPECT_EQ(
        One("select count(*) from nq_message where seeflag=0 and accountid=" + peer.substr(0, 4)),
        "0");
  }
  std::set<std::string> finished;
  for (const auto& r : CallbackRecorder::Get().ReportsWith(_EVENT_COME_HISTORYIM))
    finished.insert(r.text);
  EXPECT_EQ(finished, (std::set<std::string>{kPeer, second}));
}

TEST_F(HistorySyncTest, RequestForOlderMessagesStoresThemSeenWithoutEvents) {
  world.AddConversation(kPeer, 300, 50);
  const int id = api.GetHistoryMsg(kPeer, 340, 20);
  auto answer = Reply(_REQUEST_HTTP_GETHISTORYMSG, id);
  EXPECT_EQ(answer.a, 0);
  // The twenty ids below 340.
  EXPECT_EQ(One("select count(*) from nq_message where seeflag=1"), "20");
  EXPECT_EQ(One("select min(msgid)||'-'||max(msgid) from nq_message"), "320-339");
  auto asked = world.Requests(FakeSyncWorld::kUserIdsPath);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_NE(asked[0].query.find("lastid=340&pagesize=20&touser=2002@a.test"), std::string::npos)
      << asked[0].query;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(Events(_EVENT_COME_IMMESSAGE), 0u);
  EXPECT_EQ(Events(_EVENT_COME_HISTORYIM), 0u);

  // A server that refuses the id list is a failure the program hears of, after the
  // request's second run.
  const size_t before = world.Count(FakeSyncWorld::kUserIdsPath);
  world.SetFixedReply(FakeSyncWorld::kUserIdsPath, R"({"code":0})");
  EXPECT_NE(Reply(_REQUEST_HTTP_GETHISTORYMSG, api.GetHistoryMsg(kPeer, 0, 20)).a, 0);
  EXPECT_EQ(world.Count(FakeSyncWorld::kUserIdsPath), before + 2);
}

// Request 200206 answers a failure as one, so that it gets its second run and the
// program does not end the paging on a passing server error; an answer the server
// gave (also "no ids") is a success. The second run fetches only what the first
// could not store.
TEST_F(HistorySyncTest, RequestForOlderMessagesReportsFailuresAfterItsSecondRun) {
  const FakeReply serverError = FakeReply::Text(500, "busy");
  const FakeReply refused = FakeReply::Json(R"({"code":0})");
  struct Row {
    const char* name;
    std::vector<std::pair<const char*, FakeReply>> script;  // answers, in order
    bool succeeds;
    int stored;
    size_t idLists;  // id-list requests of the two runs
    size_t chunks;   // mid-history POSTs of the two runs
  };
  const char* ids = FakeSyncWorld::kUserIdsPath;
  const char* mid = FakeSyncWorld::kUserMidPath;
  const Row rows[] = {
      {"id list: server error, then served", {{ids, serverError}}, true, 150, 2, 2},
      {"id list: server error twice", {{ids, serverError}, {ids, serverError}}, false, 0, 2, 0},
      {"id list: not JSON twice",
       {{ids, FakeReply::Json("<html>busy")}, {ids, FakeReply::Json("<html>busy")}},
       false,
       0,
       2,
       0},
      {"id list: refused twice", {{ids, refused}, {ids, refused}}, false, 0, 2, 0},
      {"id list: empty twice",
       {{ids, FakeReply::Json("")}, {ids, FakeReply::Json("")}},
       false,
       0,
       2,
       0},
      {"id list: no ids",
       {{ids, FakeReply::Json(R"({"code":1,"result":{"msgids":""}})")}},
       true,
       0,
       1,
       0},
      // A failed POST ends the run; the second fetches both chunks.
      {"first chunk: server error, then served", {{mid, serverError}}, true, 150, 2, 3},
      {"first chunk: server error twice", {{mid, serverError}, {mid, serverError}}, false, 0, 2, 2},
      // An unreadable chunk does not stop the next one; the second run asks only for
      // the hundred ids still missing.
      {"first chunk: unreadable, then served", {{mid, refused}}, true, 150, 2, 3},
      {"every chunk unreadable on both runs",
       {{mid, refused}, {mid, refused}, {mid, refused}, {mid, refused}},
       false,
       0,
       2,
       4},
  };
  world.AddConversation(kPeer, 300, 150);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(api.DBExecSql("delete from nq_message"), 1);
    const size_t idsBefore = world.Count(ids);
    const size_t chunksBefore = world.Count(mid);
    for (const auto& [path, reply] : row.script) world.ScriptNext(path, reply);
    const int answer = Reply(_REQUEST_HTTP_GETHISTORYMSG, api.GetHistoryMsg(kPeer, 450, 150)).a;
    EXPECT_EQ(answer == 0, row.succeeds) << answer;
    EXPECT_EQ(world.Count(ids) - idsBefore, row.idLists);
    EXPECT_EQ(world.Count(mid) - chunksBefore, row.chunks);
    EXPECT_EQ(One("select count(*) from nq_message"), std::to_string(row.stored));
    EXPECT_EQ(One("select count(distinct msgid) from nq_message where seeflag=1"),
              std::to_string(row.stored));
  }
  EXPECT_EQ(Events(_EVENT_COME_IMMESSAGE), 0u);
  EXPECT_EQ(Events(_EVENT_COME_HISTORYIM), 0u);
}

TEST_F(HistorySyncTest, GroupNoticesAreRewrittenAndUnknownSendersFetched) {
  FakeUserServer::User stranger;
  stranger.userId = "4004";
  stranger.account = "4004@a.test";
  stranger.name = "Stranger";
  users.AddUser(stranger);
  // An approval request is not for a plain member; a notice about the own account
  // is rewritten; a plain message comes from a sender nobody knows yet.
  FakeSyncWorld::Message approval = GroupMessage(1, "4004@a.test");
  approval.msgtype = "groupnotify";
  approval.content = R"({"notify":"approval","groupid":"77@group.a.test","userid":"4004@a.test"})";
  FakeSyncWorld::Message ban = GroupMessage(2, "4004@a.test");
  ban.msgtype = "groupnotify";
  ban.content = R"({"notify":"banuser","groupid":"77@group.a.test","userid":"4004@a.test",)"
                R"("recvusers":"1001@a.test","nick":"S"})";
  world.AddMessage(approval);
  world.AddMessage(ban);
  world.AddMessage(GroupMessage(3, "4004@a.test"));
  OnWorker(
      [&](THistorySync& h, TAPIPacket* p) {
        h.GetMidHistory(p, "1,2,3", 0, 0);
        return 0;
      },
      kGroup);
  EXPECT_EQ(One("select count(*) from nq_message"), "2");
  Json::Value notice;
  ASSERT_TRUE(Json::Reader().parse(One("select content from nq_message where msgid=2"), notice));
  EXPECT_EQ(notice["notify"].asString(), "ban");
  EXPECT_EQ(One("select name from nq_contact where account='4004@a.test'"), "Stranger");
}

}  // namespace

namespace {

// A history download that runs while a send is on its way: the server already lists
// the sent message, but its reply has not reached the engine, whose row has no msgid
// yet. The message stays one row, and the conversation names that row.
TEST_F(HistorySyncTest, AMessageDownloadedWhileItsSendIsAnsweredStaysOneRow) {
  FakeImHttpPaths send(im);
  send.SetFirstMsgid(900);
  // Later than the clock here, so the downloaded copy becomes the conversation's newest.
  send.SetTime("2099-06-02 09:00:00");
  std::atomic<int> history{0};
  send.SetAcceptHook([&](const FakeImHttpPaths::Message& m, const FakeRequest&) {
    FakeSyncWorld::Message listed;
    listed.id = m.answeredMsgid;
    listed.fromuser = kOwn;
    listed.touser = m.touser;
    listed.content = m.content;
    listed.curtime = m.answeredTime;
    world.AddMessage(listed);
    // The download runs to its end before the send's reply leaves.
    history = api.GetHistoryMsg(kPeer, -1, 30);
    CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_GETHISTORYMSG, history.load(),
                                    std::chrono::seconds(60));
  });
  const int id = api.SendMsgIM(kPeer, 0, "just in time", "{}");
  ASSERT_GT(id, 0);
  EXPECT_EQ(Reply(_REQUEST_HTTP_SENDMSGIM, id).a, 0);
  ASSERT_GT(history.load(), 0);
  EXPECT_EQ(Rows("select id,msgid,sendstate,content from nq_message"),
            (storetest::Rows{{std::to_string(id), "900", "1", "just in time"}}));
  EXPECT_EQ(One("select msgid||' '||crtime from nq_messagenew where account='" +
                std::string(kPeer) + "'"),
            std::to_string(id) + " 2099-06-02 09:00:00");
}

}  // namespace
