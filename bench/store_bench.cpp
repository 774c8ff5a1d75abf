// The local store's write path: storing a batch of messages as the receive and sync
// paths do. Reading pages the way the chat view does is conversation_page_bench.
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
const char* const kMe = "1@tesmo.x";
const char* const kPeer = "2@tesmo.x";

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

}  // namespace

BENCHMARK_MAIN();
