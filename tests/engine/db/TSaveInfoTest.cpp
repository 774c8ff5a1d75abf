// The nq_saveinfo key store: missing keys, rewrites, quotes in keys and values, and
// concurrent first writes of one key.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "db/TDBManager.h"
#include "engine/db/StoreTestSupport.h"

using storetest::TempDir;

TEST(SaveInfoTest, Table) {
  TempDir dir;
  TDBManager db;
  ASSERT_EQ(db.Open(dir.File("s.db")), 1);
  EXPECT_EQ(db.GetSaveInfo(1, "MISSING"), "");

  // type, key, values written in order, the value read back, rows for the key.
  struct Row {
    int type;
    std::string key;
    std::vector<std::string> writes;
  } rows[] = {
      {1, "NAME", {"Ann"}},
      {1, "TWICE", {"first", "second"}},
      {1, "QUOTED", {"it's 'quoted'"}},
      {1, "O'Brien's key", {"v1", "v'2"}},
      {1, "x'); drop table nq_saveinfo; --", {"'); drop table nq_message; --"}},
      {2, "TWICE", {"other type"}},
      {3, "EMPTY", {"set", ""}},
      {1, "unicode ключ", {"значение ✓"}},
  };
  for (const Row& r : rows) {
    for (const std::string& v : r.writes) EXPECT_EQ(db.SetSaveInfo(r.type, r.key, v), 1) << r.key;
  }
  for (const Row& r : rows) {
    EXPECT_EQ(db.GetSaveInfo(r.type, r.key), r.writes.back()) << r.key;
    std::string count = std::to_string(
        db.QueryInt("select count(*) from nq_saveinfo where type=" + std::to_string(r.type) +
                        " and key=" + storetest::Quote(r.key),
                    -1));
    EXPECT_EQ(count, "1") << r.key;
  }
  // Same key under another type is a separate row.
  EXPECT_EQ(db.GetSaveInfo(1, "TWICE"), "second");
  EXPECT_EQ(db.GetSaveInfo(2, "TWICE"), "other type");
  EXPECT_EQ(db.SetSaveInfoInt(1, "VERSION", 42), 1);
  EXPECT_EQ(db.GetSaveInfo(1, "VERSION"), "42");
  EXPECT_EQ(db.QueryInt("select count(*) from sqlite_master where name in "
                        "('nq_saveinfo','nq_message')",
                        -1),
            2);
}

TEST(SaveInfoTest, ConcurrentFirstWritesOfOneKeyAllSucceed) {
  TempDir dir;
  TDBManager db;
  ASSERT_EQ(db.Open(dir.File("c.db")), 1);
  constexpr int kThreads = 6;
  constexpr int kRounds = 40;
  std::atomic<int> failures{0};
  for (int round = 0; round < kRounds; ++round) {
    std::string key = "KEY" + std::to_string(round);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        while (!go) std::this_thread::yield();
        if (db.SetSaveInfo(1, key, "v" + std::to_string(t)) != 1) ++failures;
      });
    }
    go = true;
    for (auto& th : threads) th.join();
    EXPECT_EQ(db.QueryInt("select count(*) from nq_saveinfo where key='" + key + "'", -1), 1);
  }
  EXPECT_EQ(failures.load(), 0);
}

TEST(SaveInfoTest, WithoutConnectionEverythingFails) {
  TDBManager db;
  EXPECT_EQ(db.GetSaveInfo(1, "A"), "");
  EXPECT_EQ(db.SetSaveInfo(1, "A", "b"), 0);
  EXPECT_EQ(db.QueryInt("select 1", 7), 7);
}
