// Opening and paging back through a long conversation the way the chat view does:
// the newest page and a page 50,000 rows back, for a one-to-one and a group
// conversation of 100,000 messages each, next to the plain index-backed read of
// the same 30 rows and the whole-conversation sort the page statements replace.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QString>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "conversations/ImMessageQuery.h"
#include "db/SqlText.h"
#include "db/TDBManager.h"
#include "db/TRecordSet.h"

namespace {

constexpr int kConversationMessages = 100000;
constexpr int kDepth = 50000;
constexpr int kPageSize = 30;
const char* const kMe = "1@tesmo.x";
const char* const kPeer = "2@tesmo.x";
const char* const kGroup = "9@group.tesmo.x";

std::string Time(int i) {
  // One message a second from 2024-01-01 on.
  const int day = i / 86400;
  char text[32];
  snprintf(text, sizeof(text), "2024-%02d-%02d %02d:%02d:%02d", 1 + day / 28, 1 + day % 28,
           (i / 3600) % 24, (i / 60) % 60, i % 60);
  return text;
}

std::string Insert(int i, const std::string& from, const std::string& to, int totype) {
  return "insert into nq_message(msgid,msgtype,fromuser,fromgroup,touser,totype,content,remark,"
         "sendflag,sendstate,sendtime) values(" +
         std::to_string(100000 + i) + ",0," + SqlQuoted(from) + "," + SqlQuoted(totype ? to : "") +
         "," + SqlQuoted(to) + "," + std::to_string(totype) + "," +
         SqlQuoted("message " + std::to_string(i)) + ",'{\"from\":{\"nick\":\"Ann\"}}'," +
         std::to_string(from == kMe ? 1 : 0) + ",1," + SqlQuoted(Time(i)) + ")";
}

// One database with both conversations and other traffic, made once per run.
struct Store {
  std::string folder;
  TDBManager db;
  ImPageKey personKey;
  ImPageKey groupKey;

  Store() {
    std::string base = std::filesystem::temp_directory_path().string() + "/tesmo-page-XXXXXX";
    std::vector<char> buf(base.begin(), base.end());
    buf.push_back('\0');
    folder = mkdtemp(buf.data()) ? buf.data() : ".";
    db.Open(folder + "/page.db");
    std::vector<std::string> rows;
    rows.reserve(2 * kConversationMessages + kConversationMessages / 5);
    for (int i = 0; i < kConversationMessages; ++i) {
      rows.push_back(i % 2 ? Insert(i, kPeer, kMe, 0) : Insert(i, kMe, kPeer, 0));
      rows.push_back(Insert(i, i % 3 ? "5@tesmo.x" : kMe, kGroup, 1));
      if (i % 10 == 0) rows.push_back(Insert(i, "7@tesmo.x", kMe, 0));
    }
    db.ExecBatch(rows);
    db.Exec("analyze");
    personKey = KeyAt(0, kPeer);
    groupKey = KeyAt(1, kGroup);
  }

  ~Store() {
    db.Close();
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }

  // The key of the row kDepth rows back from the newest.
  ImPageKey KeyAt(int type, const char* account) {
    TRecordSet records;
    db.Exec(ImMessageQuery::pageAt(QString::fromUtf8(account), type, kDepth - 1, 1).toStdString(),
            &records);
    ImPageKey key;
    key.ids = {records.GetInt(0, 0)};
    key.sendtime = QString::fromStdString(records.GetString(0, 19));
    return key;
  }
};

Store& TheStore() {
  static Store* store = new Store;
  return *store;
}

void Run(benchmark::State& state, const std::string& sql) {
  TDBManager& db = TheStore().db;
  TRecordSet records;
  for (auto _ : state) {
    db.Exec(sql, &records, 1);
    if (records.GetRecordCount() != kPageSize) state.SkipWithError("short page");
    for (int row = 0; row < records.GetRecordCount(); ++row)
      benchmark::DoNotOptimize(records.GetString(row, 9));
  }
}

std::string Columns() { return ImMessageQuery::kColumns; }

// The chat view's statements.
void BM_PageNewest(benchmark::State& state, int type) {
  const QString account = QString::fromUtf8(type ? kGroup : kPeer);
  Run(state, ImMessageQuery::page(account, type, ImPageKey(), kPageSize).toStdString());
}

void BM_PageDeep(benchmark::State& state, int type) {
  Store& store = TheStore();
  const QString account = QString::fromUtf8(type ? kGroup : kPeer);
  Run(state, ImMessageQuery::page(account, type, type ? store.groupKey : store.personKey, kPageSize)
                 .toStdString());
}

// The plain read of 30 rows along one index: the floor the page statements aim at.
void BM_RawIndexed(benchmark::State& state, int type, bool deep) {
  Store& store = TheStore();
  const ImPageKey& key = type ? store.groupKey : store.personKey;
  std::string where = type ? std::string("touser='") + kGroup + "' and totype=1"
                           : std::string("fromuser='") + kPeer + "' and totype=0";
  if (deep) where += " and sendtime<='" + key.sendtime.toStdString() + "'";
  Run(state, "SELECT " + Columns() + " FROM nq_message INDEXED BY " +
                 (type ? "msg_touser" : "msg_fromuser") + " WHERE " + where +
                 " and deleted=0 ORDER BY sendtime DESC LIMIT 30");
}

// The statements as first written: the whole conversation sorted, then an offset.
void BM_SortedOffset(benchmark::State& state, int type, int offset) {
  const std::string a = type ? kGroup : kPeer;
  const std::string where =
      type ? "(touser='" + a + "') and totype=1 and deleted=0 and touser=fromgroup"
           : "(fromuser='" + a + "' or touser='" + a + "') and totype=0 and deleted=0";
  Run(state, "SELECT " + Columns() + " FROM nq_message WHERE " + where +
                 " ORDER BY sendtime DESC LIMIT " + std::to_string(offset) + ",30");
}

BENCHMARK_CAPTURE(BM_PageNewest, person, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RawIndexed, person_newest, 0, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PageDeep, person_50000_back, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RawIndexed, person_50000_back, 0, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SortedOffset, person_newest, 0, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SortedOffset, person_50000_back, 0, kDepth)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PageNewest, group, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RawIndexed, group_newest, 1, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PageDeep, group_50000_back, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_RawIndexed, group_50000_back, 1, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SortedOffset, group_newest, 1, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SortedOffset, group_50000_back, 1, kDepth)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
