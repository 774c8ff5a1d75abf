// The local store's two hot paths: storing a batch of messages, and reading the
// newest page of a long conversation the way the chat view does.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TAPIInterface.h"
#include "db/SqlText.h"
#include "db/TDBManager.h"
#include "services/TMessageStore.h"

namespace {

constexpr int kBatchMessages = 10000;
constexpr int kConversationMessages = 100000;
constexpr int kPageSize = 30;
const char* const kMe = "1@tesmo.x";
const char* const kPeer = "2@tesmo.x";
const char* const kGroup = "9@group.tesmo.x";

std::string TempFolder() {
  std::string base = std::filesystem::temp_directory_path().string() + "/tesmo-bench-XXXXXX";
  std::vector<char> buf(base.begin(), base.end());
  buf.push_back('\0');
  return mkdtemp(buf.data()) ? std::string(buf.data()) : std::string(".");
}

std::string Time(int i) {
  char buf[32];
  snprintf(buf, sizeof(buf), "2024-%02d-%02d %02d:%02d:%02d", 1 + (i / 2678400) % 12,
           1 + (i / 86400) % 28, (i / 3600) % 24, (i / 60) % 60, i % 60);
  return buf;
}

// The statement the message paths store a message with.
std::string InsertStatement(int i, const std::string& from, const std::string& to, int totype) {
  std::string content = "message " + std::to_string(i) + ": it's a test";
  return "insert into nq_message(msgid,accountid,msgtype,fromuser,fromgroup,fromver,device,"
         "touser,totype,content,remark,localpath,fileurl,sendflag,sendstate,localsend,seeflag,"
         "atflag,sendtime) values(" +
         std::to_string(100000 + i) + "," + std::to_string(SqlLeadingNumber(to)) + ",0," +
         SqlQuoted(from) + "," + SqlQuoted(totype ? to : "") + ",1,2," + SqlQuoted(to) + "," +
         std::to_string(totype) + "," + SqlQuoted(content) + "," +
         SqlQuoted("{\"from\":{\"nick\":\"Ann\"}}") + ",'','',0,1,0,0,0," + SqlQuoted(Time(i)) +
         ")";
}

void BM_StoreMessageBatch(benchmark::State& state) {
  std::string dir = TempFolder();
  TAPIInterface api;
  api.Init();
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::string path = dir + "/batch" + std::to_string(round++) + ".db";
    api.SetDatabase(path.c_str());
    TDBManager* db = api.GetDatabaseManager();
    std::vector<std::string> statements;
    statements.reserve(kBatchMessages);
    for (int i = 0; i < kBatchMessages; ++i) {
      statements.push_back(i % 2 ? InsertStatement(i, kPeer, kMe, 0)
                                 : InsertStatement(i, kMe, kPeer, 0));
    }
    state.ResumeTiming();
    if (!db->ExecBatch(statements)) state.SkipWithError("batch failed");
    TMessageStore::UpsertConversation(kPeer, kBatchMessages, 0, "last", Time(kBatchMessages));
  }
  state.counters["rows_per_second"] = benchmark::Counter(
      static_cast<double>(kBatchMessages) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
  api.Release();
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}
BENCHMARK(BM_StoreMessageBatch)->Unit(benchmark::kMillisecond)->UseRealTime();

// The program's page queries: one-to-one and group conversations.
const char* const kColumns =
    "id, msgid, msgtype, fromuser, fromgroup, fromver, device, touser, totype, content, remark, "
    "localpath, fileurl, sendflag, sendstate, localsend, seeflag, atflag, cancelflag, sendtime, "
    "deleted, revokeflag";

void BM_ReadNewestPage(benchmark::State& state) {
  bool group = state.range(0) == 1;
  std::string dir = TempFolder();
  TAPIInterface api;
  api.Init();
  std::string path = dir + "/page.db";
  api.SetDatabase(path.c_str());
  TDBManager* db = api.GetDatabaseManager();
  std::vector<std::string> statements;
  statements.reserve(kConversationMessages);
  for (int i = 0; i < kConversationMessages; ++i) {
    // The long conversation, with other traffic in between.
    if (i % 10 == 0) {
      statements.push_back(InsertStatement(i, "5@tesmo.x", kMe, 0));
    } else if (group) {
      statements.push_back(InsertStatement(i, i % 2 ? kMe : kPeer, kGroup, 1));
    } else {
      statements.push_back(i % 2 ? InsertStatement(i, kPeer, kMe, 0)
                                 : InsertStatement(i, kMe, kPeer, 0));
    }
  }
  db->ExecBatch(statements);
  statements.clear();
  std::string a = group ? kGroup : kPeer;
  std::string sql =
      group ? std::string("SELECT ") + kColumns + " FROM nq_message WHERE (touser='" + a +
                  "') and totype=1 and deleted=0 and touser=fromgroup ORDER BY sendtime DESC "
                  "LIMIT 0,30"
            : std::string("SELECT ") + kColumns + " FROM nq_message WHERE (fromuser='" + a +
                  "' or touser='" + a +
                  "') and totype=0 and deleted=0 ORDER BY sendtime DESC "
                  "LIMIT 0,30";
  for (auto _ : state) {
    long h = api.DBSelectSql(sql.c_str());
    if (api.DBGetRecordCount(h) != kPageSize) state.SkipWithError("short page");
    for (int r = 0; r < kPageSize; ++r) benchmark::DoNotOptimize(api.DBGetStrValue(h, r, 9));
    api.DBRelease(h);
  }
  state.counters["rows_per_second"] =
      benchmark::Counter(static_cast<double>(kPageSize) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
  state.SetLabel(group ? "group conversation" : "one-to-one conversation");
  api.Release();
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}
BENCHMARK(BM_ReadNewestPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
