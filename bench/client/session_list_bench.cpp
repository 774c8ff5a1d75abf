// Building the conversation list from the local database: 1,000 conversations
// over 100,000 messages, through the program's list model and the real engine,
// next to the raw SQL of the same queries in the same run.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionListManagerPrivate.h"
#include "db/SqlText.h"
#include "db/TDBManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "shell/VExitCleanup.h"

namespace {

constexpr int kConversations = 1000;
constexpr int kMessagesPerConversation = 100;
constexpr int kGroupEvery = 5;  // every fifth conversation is a group
const char* const kMe = "1@tesmo.x";

std::string g_dbPath;

bool IsGroup(int conversation) { return conversation % kGroupEvery == 0; }

std::string Peer(int conversation) {
  return IsGroup(conversation) ? std::to_string(9000 + conversation) + "@group.tesmo.x"
                               : std::to_string(2 + conversation) + "@tesmo.x";
}

std::string Time(int i) {
  char buf[32];
  snprintf(buf, sizeof(buf), "2024-%02d-%02d %02d:%02d:%02d", 1 + (i / 2678400) % 12,
           1 + (i / 86400) % 28, (i / 3600) % 24, (i / 60) % 60, i % 60);
  return buf;
}

// Messages interleaved across conversations, every conversation's newest in
// the list table; a few unread ones and @-mentions in each.
void Seed(TDBManager* db) {
  std::vector<std::string> statements;
  statements.reserve(kConversations * (kMessagesPerConversation + 2));
  int id = 0;
  for (int m = 0; m < kMessagesPerConversation; ++m) {
    for (int c = 0; c < kConversations; ++c) {
      ++id;
      const std::string peer = Peer(c);
      const bool group = IsGroup(c);
      const bool mine = (m + c) % 2 == 0;
      const std::string from = mine ? kMe : (group ? "77@tesmo.x" : peer);
      const std::string to = group ? peer : (mine ? peer : kMe);
      const bool unread = !mine && m >= kMessagesPerConversation - 4;
      const int atflag = group && m == kMessagesPerConversation - 3 ? 1 : 0;
      const std::string remark =
          group ? R"({"from":{"nick":"Ann","logo":"a.png"},"to":{"nick":"Group )" +
                      std::to_string(c) + R"(","logo":"g.png"}})"
                : R"({"from":{"nick":"Ann"}})";
      statements.push_back(
          "insert into nq_message(id,msgid,msgtype,fromuser,fromgroup,fromver,device,touser,"
          "totype,content,remark,sendflag,sendstate,seeflag,atflag,sendtime) values(" +
          std::to_string(id) + "," + std::to_string(100000 + id) + ",0," + SqlQuoted(from) + "," +
          SqlQuoted(group ? peer : "") + ",1,2," + SqlQuoted(to) + "," + (group ? "1" : "0") + "," +
          SqlQuoted("message " + std::to_string(id) + ": it's a test") + "," + SqlQuoted(remark) +
          "," + (mine ? "1" : "0") + ",1," + (unread ? "0" : "1") + "," + std::to_string(atflag) +
          "," + SqlQuoted(Time(id)) + ")");
      if (m == kMessagesPerConversation - 1)
        statements.push_back("insert or replace into nq_messagenew(account,msgid,crtime) values(" +
                             SqlQuoted(peer) + "," + std::to_string(id) + "," +
                             SqlQuoted(Time(id)) + ")");
    }
  }
  for (int c = 0; c < kConversations; ++c) {
    if (IsGroup(c)) continue;
    statements.push_back(
        "insert into nq_contact(userid,account,name,logo,isfriend,champflag) "
        "values(" +
        std::to_string(2 + c) + "," + SqlQuoted(Peer(c)) + "," +
        SqlQuoted("User " + std::to_string(c)) + ",'u.png',1," + std::to_string(c % 3) + ")");
  }
  db->ExecBatch(statements);
}

// The list query as first written: the message table drives the join.
const char* const kMessageDrivenListQuery =
    "select a.id, a.msgid, a.msgtype, a.fromuser, a.fromgroup, a.fromver, a.device, a.touser, "
    "a.totype, a.content, a.remark, a.localpath, a.fileurl, a.sendflag, a.sendstate, "
    "a.localsend, a.seeflag, a.atflag, a.cancelflag, a.sendtime, a.deleted from nq_message "
    "a,nq_messagenew b where (b.msgid = a.id and a.deleted=0)  order by a.sendtime desc";

struct RawDb {
  sqlite3* db = nullptr;
  RawDb() { sqlite3_open_v2(g_dbPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr); }
  ~RawDb() { sqlite3_close(db); }
  // Runs a query and reads every field as text; the number of rows.
  int Read(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    int rows = 0;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
      const int fields = sqlite3_column_count(statement);
      while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int col = 0; col < fields; ++col)
          benchmark::DoNotOptimize(sqlite3_column_text(statement, col));
        ++rows;
      }
    }
    sqlite3_finalize(statement);
    return rows;
  }
};

// The counters the worker runs for every row: the unread count, and for a
// group the two @-searches.
std::vector<std::string> CounterQueries() {
  std::vector<std::string> queries;
  for (int c = 0; c < kConversations; ++c) {
    const std::string a = SqlQuoted(Peer(c));
    if (IsGroup(c)) {
      queries.push_back("select seeflag from nq_message where ((touser = " + a +
                        ") and totype = 1 and seeflag = 0 and deleted = 0)");
      queries.push_back("select atflag from nq_message where atflag=2 and touser=" + a);
      queries.push_back("select atflag from nq_message where atflag=1 and touser=" + a);
    } else {
      queries.push_back("select seeflag from nq_message where ((fromuser = " + a +
                        " or touser = " + a + ") and totype = 0 and seeflag = 0 and deleted = 0 )");
    }
  }
  return queries;
}

// Arg 0: the query initData runs; 1: the same rows through the message table.
void BM_RawListQuery(benchmark::State& state) {
  RawDb raw;
  const char* sql =
      state.range(0) == 0 ? ImSessionListManagerPrivate::kListQuery : kMessageDrivenListQuery;
  for (auto _ : state)
    if (raw.Read(sql) != kConversations) state.SkipWithError("short list");
}
BENCHMARK(BM_RawListQuery)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same query through the engine's record sets, every field read once.
void BM_EngineListQuery(benchmark::State& state) {
  ImUiInterface* engine = ImUiInterface::instance();
  for (auto _ : state) {
    const long set = engine->DBSelectSql(ImSessionListManagerPrivate::kListQuery);
    const int rows = engine->DBGetRecordCount(set);
    for (int row = 0; row < rows; ++row)
      for (int col = 0; col < 21; ++col)
        benchmark::DoNotOptimize(engine->DBGetStrValue(set, row, col));
    engine->DBRelease(set);
  }
}
BENCHMARK(BM_EngineListQuery)->Unit(benchmark::kMillisecond)->UseRealTime();

// Rows a list view shows at first (and keeps ready around them).
constexpr int kFirstScreenRows = 20;

// Until every row's unread count and every group's @-flag has arrived. The
// answers come in row order, so the last row's answer means every answer is
// in. Only the rows a view would show first are read through the model: the
// list makes a row's item when it is asked for, and a view asks for the rows
// it shows, not for all 1,000.
bool Answered(ImMsgEntity* item) {
  return item->unReadMsgCount() != 0 && (item->totype() != 1 || item->atflag() != 0);
}

void WaitForCounters(ImSessionListManager* list) {
  const int last = list->itemCount() - 1;
  for (int row = 0; row <= last; ++row) {
    if (row >= kFirstScreenRows && row != last) continue;
    while (!Answered(qobject_cast<ImMsgEntity*>(list->get(row)))) QCoreApplication::processEvents();
  }
}

// Milliseconds to a populated model.
void BM_InitData(benchmark::State& state) {
  ImSessionListManager* list = ImSessionListManager::instance();
  for (auto _ : state) {
    list->initData();
    state.PauseTiming();
    if (list->itemCount() != kConversations) state.SkipWithError("short list");
    // This round's counters finish before the next round starts.
    WaitForCounters(list);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_InitData)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RawListAndCounterQueries(benchmark::State& state) {
  RawDb raw;
  const std::vector<std::string> queries = CounterQueries();
  for (auto _ : state) {
    raw.Read(ImSessionListManagerPrivate::kListQuery);
    for (const std::string& sql : queries) raw.Read(sql);
  }
}
BENCHMARK(BM_RawListAndCounterQueries)->Unit(benchmark::kMillisecond)->UseRealTime();

// Milliseconds until the counters of every row have arrived as well.
void BM_InitDataWithCounters(benchmark::State& state) {
  ImSessionListManager* list = ImSessionListManager::instance();
  for (auto _ : state) {
    list->initData();
    WaitForCounters(list);
  }
}
BENCHMARK(BM_InitDataWithCounters)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
  // The program's debug lines would measure the terminal.
  QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
  QApplication app(argc, argv);
  ImUiInterface* engine = ImUiInterface::instance();
  engine->Init();
  g_dbPath = home.filePath(QStringLiteral("tesChat.db")).toStdString();
  engine->SetDatabase(g_dbPath.c_str());
  Seed(engine->GetDatabaseManager());
  // Open again so the engine's contact cache holds the seeded people.
  engine->SetDatabase(home.filePath(QStringLiteral("other.db")).toUtf8().constData());
  engine->SetDatabase(g_dbPath.c_str());
  VConfig::instance()->setValue(QStringLiteral("MY_ACCOUNT"), QString::fromLatin1(kMe));

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  VExitCleanup::runAll();
  return 0;
}
