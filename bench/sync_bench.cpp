// The history synchronisation after a login: a world of 50 conversations of 2,000
// messages each downloaded from the loopback servers into an empty message table,
// against the raw rate of SQLite storing the same rows with one prepared statement
// in one transaction.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "db/TDBManager.h"
#include "fakes/FakeHttpServer.h"
#include "fakes/FakeSyncWorld.h"
#include "net/THttpRequestService.h"

namespace {

constexpr int kConversations = 50;
constexpr int kMessagesEach = 2000;
constexpr int kPageSize = 500;  // a page stays well inside the client's receive buffer
const char* const kOwn = "1001@a.test";

std::string TempFolder() {
  std::string base = std::filesystem::temp_directory_path().string() + "/tesmo-sync-XXXXXX";
  std::vector<char> buf(base.begin(), base.end());
  buf.push_back('\0');
  return mkdtemp(buf.data()) ? std::string(buf.data()) : std::string(".");
}

std::string Peer(int i) { return std::to_string(3000 + i) + "@a.test"; }

void FillWorld(FakeSyncWorld& world) {
  world.SetOwn(kOwn);
  world.SetLoginTimePageSize(kPageSize);
  for (int i = 0; i < kConversations; ++i)
    world.AddConversation(Peer(i), 100000 + static_cast<int64_t>(i) * kMessagesEach, kMessagesEach);
}

std::mutex g_mutex;
std::condition_variable g_done;
int g_finished = 0;

void OnReport(int method, int, int, int, const char*) {
  if (method != _EVENT_COME_FINISHIMHISTORY) return;
  std::lock_guard<std::mutex> lock(g_mutex);
  ++g_finished;
  g_done.notify_all();
}

void BM_SyncWorldIntoEmptyDatabase(benchmark::State& state) {
  FakeHttpServer http;
  FakeSyncWorld world(http);
  FillWorld(world);
  http.SetRecordLimit(16);
  if (!http.Start()) {
    state.SkipWithError("no server");
    return;
  }
  const std::string dir = TempFolder();
  TAPIInterface api;
  api.Init();
  api.SetCallBack(&OnReport);
  int round = 0;
  long long stored = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string path = dir + "/sync" + std::to_string(round++) + ".db";
    api.SetDatabase(path.c_str());
    TEngineCore* core = TEngineCore::Instance();
    core->SetUserAccount("1001", kOwn);
    const std::string address = "127.0.0.1:" + std::to_string(http.Port());
    for (const char* name : {"IMSERVER", "GROUPSERVER", "USERSERVER"})
      core->SetServer(name, address);
    TDBManager* db = api.GetDatabaseManager();
    // An account that synchronised before, with every message of the world still to
    // come: the history since the login time, page by page.
    db->SetSaveInfo(2, "FIRSTDOWNIM", "1");
    db->SetSaveInfo(2, "FIRSTDOWNGROUPMSGID", "1");
    db->SetSaveInfo(3, "logintime", "2024-01-01 00:00:00");
    db->SetSaveInfo(1, "FRIENDVER", "0");
    api.Run();
    int before = 0;
    {
      std::lock_guard<std::mutex> lock(g_mutex);
      before = g_finished;
    }
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    core->GetRequestService()->SetLoggedIn(0);
    {
      std::unique_lock<std::mutex> lock(g_mutex);
      g_done.wait_for(lock, std::chrono::minutes(10), [&] { return g_finished > before; });
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.PauseTiming();
    stored = db->QueryInt("select count(*) from nq_message", 0);
    state.counters["seconds_to_100013"] = seconds;
    api.Release();
    api.Init();
    api.SetCallBack(&OnReport);
    state.ResumeTiming();
  }
  if (stored != static_cast<long long>(kConversations) * kMessagesEach)
    state.SkipWithError("not every message was stored");
  state.counters["messages_stored"] = static_cast<double>(stored);
  state.counters["stored_per_second"] =
      benchmark::Counter(static_cast<double>(stored) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
  api.Release();
  http.Stop();
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}
BENCHMARK(BM_SyncWorldIntoEmptyDatabase)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// The same rows, straight into a table of the engine's schema: one prepared insert,
// one transaction.
void BM_RawPreparedInsert(benchmark::State& state) {
  FakeHttpServer unused;
  FakeSyncWorld world(unused);
  FillWorld(world);
  const std::vector<FakeSyncWorld::Message> messages = world.Messages();
  const std::string dir = TempFolder();
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string path = dir + "/raw" + std::to_string(round++) + ".db";
    {
      TDBManager schema;  // the engine's tables and indexes, then closed
      schema.Open(path);
    }
    sqlite3* handle = nullptr;
    sqlite3_open(path.c_str(), &handle);
    sqlite3_exec(handle, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr,
                 nullptr);
    state.ResumeTiming();
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(handle,
                       "insert into nq_message(msgid,accountid,msgtype,fromuser,fromgroup,fromver,"
                       "device,touser,totype,content,remark,localpath,fileurl,sendflag,sendstate,"
                       "localsend,seeflag,atflag,sendtime) "
                       "values(?,?,0,?,?,?,?,?,0,?,?,'','',?,1,0,0,0,?)",
                       -1, &insert, nullptr);
    sqlite3_exec(handle, "begin", nullptr, nullptr, nullptr);
    for (const FakeSyncWorld::Message& m : messages) {
      const bool own = m.fromuser == kOwn;
      const std::string& peer = own ? m.touser : m.fromuser;
      sqlite3_bind_int64(insert, 1, m.id);
      sqlite3_bind_int64(insert, 2, atoll(peer.c_str()));
      sqlite3_bind_text(insert, 3, m.fromuser.c_str(), -1, SQLITE_STATIC);
      sqlite3_bind_text(insert, 4, m.fromgroup.c_str(), -1, SQLITE_STATIC);
      sqlite3_bind_int(insert, 5, m.fromversion);
      sqlite3_bind_int(insert, 6, m.fromdev);
      sqlite3_bind_text(insert, 7, m.touser.c_str(), -1, SQLITE_STATIC);
      sqlite3_bind_text(insert, 8, m.content.c_str(), -1, SQLITE_STATIC);
      sqlite3_bind_text(insert, 9, m.remark.c_str(), -1, SQLITE_STATIC);
      sqlite3_bind_int(insert, 10, own ? 1 : 0);
      sqlite3_bind_text(insert, 11, m.curtime.c_str(), -1, SQLITE_STATIC);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_exec(handle, "commit", nullptr, nullptr, nullptr);
    sqlite3_finalize(insert);
    state.PauseTiming();
    sqlite3_close(handle);
    state.ResumeTiming();
  }
  state.counters["rows_per_second"] = benchmark::Counter(
      static_cast<double>(messages.size()) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}
BENCHMARK(BM_RawPreparedInsert)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
