// The SQLite wrapper and record sets, driven directly and through the facade's
// SQL exports as the program uses them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "db/SqlText.h"
#include "db/TDBManager.h"
#include "db/TRecordSet.h"
#include "db/TSqliteDB.h"
#include "engine/db/StoreTestSupport.h"

using storetest::FacadeTest;
using storetest::TempDir;

TEST(SqlTextTest, EscapesAndNumbers) {
  struct Row {
    std::string in, escaped;
  } rows[] = {
      {"", ""},
      {"plain", "plain"},
      {"it's", "it''s"},
      {"''", "''''"},
      {"'); drop table nq_message; --", "''); drop table nq_message; --"},
      {std::string("cut\0'after", 10), "cut"},  // a C text ends at its zero byte
  };
  for (const Row& r : rows) EXPECT_EQ(SqlEscapeQuotes(r.in), r.escaped) << r.in;
  EXPECT_EQ(SqlEscapeQuotes(static_cast<const char*>(nullptr)), "");

  struct Num {
    const char* in;
    long long out;
  } nums[] = {{"", 0},
              {"abc", 0},
              {"12345@tesmo.com", 12345},
              {"  42x", 42},
              {"-7", -7},
              {"+8", 8},
              {"1 or 1=1", 1},
              {"3000000000", 3000000000LL},
              {"99999999999999999999999", 9223372036854775807LL}};
  for (const Num& n : nums) EXPECT_EQ(SqlLeadingNumber(n.in), n.out) << n.in;
}

TEST(TSqliteDBTest, ExecCollectsOnlyQueriesAndReportsFailures) {
  TempDir dir;
  TSqliteDB db;
  TRecordSet rs;
  EXPECT_EQ(db.Exec("select 1", &rs, 1), 0);  // no handle
  ASSERT_EQ(db.Open(dir.File("w.db")), 1);
  ASSERT_EQ(db.Exec("create table t(a text, b int)", nullptr, 1), 1);
  ASSERT_EQ(db.Exec("insert into t values('x', 1); insert into t values(NULL, 2)", nullptr, 1), 1);

  // Leading blanks and control codes, capital letters: still a query.
  ASSERT_EQ(db.Exec(" \t\n  SELECT a, b from t order by b", &rs, 1), 1);
  ASSERT_EQ(rs.GetRecordCount(), 2);
  EXPECT_EQ(rs.GetFieldCount(), 2);
  EXPECT_EQ(rs.GetColumnName(0), "a");
  EXPECT_EQ(rs.GetString(0, 0), "x");
  EXPECT_EQ(rs.GetString(1, 0), "");  // NULL
  EXPECT_EQ(rs.GetInt(1, 1), 2);
  EXPECT_EQ(rs.GetString(2, 0), "");
  EXPECT_EQ(rs.GetString(0, 2), "");
  EXPECT_EQ(rs.GetString(-1, 0), "");
  EXPECT_EQ(rs.GetInt(0, 0), 0);  // not a number

  // A statement that is not a query leaves the record set alone.
  ASSERT_EQ(db.Exec("update t set b=3 where b=2", &rs, 1), 1);
  EXPECT_EQ(rs.GetRecordCount(), 2);

  testing::internal::CaptureStdout();
  EXPECT_EQ(db.Exec("select nope from t", nullptr, 1), 0);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Error sql = select nope from t\n"), std::string::npos) << out;
  EXPECT_NE(out.find("Error msg = no such column: nope\n"), std::string::npos) << out;
  EXPECT_EQ(db.GetLastError(), "no such column: nope");
  // The connection stays usable.
  EXPECT_EQ(db.Exec("select count(*) from t", &rs, 1), 1);
  EXPECT_EQ(db.Close(), 1);
  EXPECT_EQ(db.Close(), 0);
}

// Rows share one text buffer: every field keeps its own value and length while
// the buffer grows, rows of statements with other columns keep theirs, and the
// bounds of each row are its own.
TEST(TSqliteDBTest, RecordSetKeepsEveryFieldOfManyRowsAndMixedStatements) {
  TempDir dir;
  TSqliteDB db;
  ASSERT_EQ(db.Open(dir.File("r.db")), 1);
  ASSERT_EQ(db.Exec("create table t(n int, s text)", nullptr, 1), 1);
  std::string insert = "begin;";
  for (int i = 0; i < 3000; ++i)
    insert += "insert into t values(" + std::to_string(i) + ",'" + std::string(i % 40, 'a') +
              std::to_string(i) + "');";
  insert += "commit;";
  ASSERT_EQ(db.Exec(insert.c_str(), nullptr, 1), 1);

  TRecordSet rs;
  ASSERT_EQ(db.Exec("select n, s, NULL from t order by n", &rs, 1), 1);
  ASSERT_EQ(rs.GetRecordCount(), 3000);
  for (int i = 0; i < 3000; ++i) {
    const std::string s = std::string(i % 40, 'a') + std::to_string(i);
    ASSERT_EQ(rs.GetInt(i, 0), i);
    ASSERT_EQ(rs.GetString(i, 1), s);
    size_t length = 99;
    ASSERT_STREQ(rs.GetText(i, 1, &length), s.c_str());
    ASSERT_EQ(length, s.size());
    ASSERT_STREQ(rs.GetText(i, 2, &length), "");  // NULL
    ASSERT_EQ(length, 0u);
  }
  size_t length = 99;
  EXPECT_STREQ(rs.GetText(3000, 0, &length), "");
  EXPECT_EQ(length, 0u);
  EXPECT_STREQ(rs.GetText(0, 3), "");
  EXPECT_STREQ(rs.GetText(0, -1), "");

  // Two queries in one text: three columns, then one. The field count is the
  // last statement's; a row of the second has no second column.
  TRecordSet mixed;
  ASSERT_EQ(db.Exec("select 1, 'two', 3; select 'x'", &mixed, 1), 1);
  ASSERT_EQ(mixed.GetRecordCount(), 2);
  EXPECT_EQ(mixed.GetFieldCount(), 1);
  EXPECT_EQ(mixed.GetString(0, 0), "1");
  EXPECT_EQ(mixed.GetString(1, 0), "x");
  EXPECT_EQ(mixed.GetString(1, 1), "");
  mixed.Clear();
  EXPECT_EQ(mixed.GetRecordCount(), 0);
  EXPECT_STREQ(mixed.GetText(0, 0), "");
}

TEST(TDBManagerTest, BatchSkipsFailuresAndQueriesHaveDefaults) {
  TempDir dir;
  TDBManager db;
  ASSERT_EQ(db.Open(dir.File("m.db")), 1);
  EXPECT_EQ(db.Exec(""), 0);
  EXPECT_EQ(db.Exec(static_cast<const char*>(nullptr)), 0);
  EXPECT_EQ(db.ExecBatch({"insert into nq_remark(account,name) values('a','1')",
                          "insert into nowhere values(1)",
                          "insert into nq_remark(account,name) values('b','2')"}),
            1);
  EXPECT_EQ(db.QueryInt("select count(*) from nq_remark", -1), 2);
  // Callers learn which statements were stored.
  std::vector<bool> done;
  EXPECT_EQ(db.ExecBatch({"insert into nq_remark(account,name) values('c','3')",
                          "insert into nowhere values(1)"},
                         &done),
            1);
  EXPECT_EQ(done, (std::vector<bool>{true, false}));
  ASSERT_EQ(db.Exec("delete from nq_remark where account='c'"), 1);
  EXPECT_EQ(db.QueryInt("select name from nq_remark where account='zz'", -5), -5);
  EXPECT_EQ(db.QueryInt("select broken", -9), -9);
  EXPECT_EQ(db.QueryExists("select 1 from nq_remark where account='a'"), 1);
  EXPECT_EQ(db.QueryExists("select 1 from nq_remark where account='q'"), 0);
  // The transaction was committed: a second connection sees the rows.
  storetest::RawDb raw(dir.File("m.db"));
  EXPECT_EQ(raw.Query("select count(*) from nq_remark")[0][0], "2");
  db.Close();
  EXPECT_EQ(db.Exec("select 1"), 0);
  EXPECT_EQ(db.ExecBatch({"insert into nq_remark(account,name) values('d','4')"}, &done), 0);
  EXPECT_EQ(done, std::vector<bool>{false});
}

TEST(TDBManagerTest, AccountConnectionUsesWalAndNormalSync) {
  TempDir dir;
  TDBManager db;
  ASSERT_EQ(db.Open(dir.File("wal.db")), 1);
  TRecordSet rs;
  ASSERT_EQ(db.Exec("select * from pragma_synchronous", &rs), 1);
  EXPECT_EQ(rs.GetString(0, 0), "1");  // NORMAL
  storetest::RawDb raw(dir.File("wal.db"));
  EXPECT_EQ(raw.Query("PRAGMA journal_mode")[0][0], "wal");
}

// Whatever the umask allows, a new account database and its journal files are
// the user's alone; an existing file keeps the rights it has.
TEST(TDBManagerTest, NewDatabaseAndItsJournalsAreOwnerOnly) {
  TempDir dir;
  const mode_t previous = umask(022);
  {
    TDBManager db;
    ASSERT_EQ(db.Open(dir.File("own.db")), 1);
    ASSERT_EQ(db.Exec("create table t(a text)", nullptr), 1);
    ASSERT_EQ(db.Exec("insert into t values('secret')", nullptr), 1);
    for (const char* name : {"own.db", "own.db-wal", "own.db-shm"}) {
      struct stat st {};
      ASSERT_EQ(stat(dir.File(name).c_str(), &st), 0) << name;
      EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
    }
  }
  storetest::WriteFile(dir.File("shared.db"), "");
  chmod(dir.File("shared.db").c_str(), 0644);
  {
    TDBManager db;
    ASSERT_EQ(db.Open(dir.File("shared.db")), 1);
    struct stat st {};
    ASSERT_EQ(stat(dir.File("shared.db").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
  }
  umask(previous);
}

using DatabaseExportsTest = FacadeTest;

TEST(DatabaseExportsWithoutDatabase, AnswerZeroAndEmpty) {
  TAPIInterface api;
  api.Init();
  EXPECT_EQ(api.DBExecSql("create table x(a)"), 0);
  EXPECT_EQ(api.DBSelectSql("select 1"), 0);
  EXPECT_EQ(api.IsLogin(), 0);
  EXPECT_STREQ(api.GetUCUserID(), "");
  EXPECT_EQ(api.DeleteMessage(1), 0);
  EXPECT_EQ(api.ClearAtFlag("a"), 0);
  EXPECT_EQ(api.SearchAtMsg("a", 1), 0);
  EXPECT_EQ(api.DBGetRecordCount(0), 0);
  EXPECT_STREQ(api.DBGetStrValue(0, 0, 0), "");
  api.DBRelease(0);
  api.Release();
}

TEST_F(DatabaseExportsTest, HandlesRowsAndFailures) {
  ASSERT_TRUE(Exec("insert into nq_remark(account,name) values('a','Ann')"));
  EXPECT_EQ(api->DBExecSql("insert into nowhere values(1)"), 0);
  EXPECT_EQ(api->DBSelectSql("select broken from"), 0);
  EXPECT_EQ(api->DBSelectSql(nullptr), 0);
  EXPECT_EQ(api->DBExecSql(nullptr), 0);

  long none = api->DBSelectSql("select * from nq_remark where account='nobody'");
  ASSERT_NE(none, 0);
  EXPECT_EQ(api->DBGetRecordCount(none), 0);
  EXPECT_EQ(api->DBGetFieldCount(none), 0);
  EXPECT_STREQ(api->DBGetStrValue(none, 0, 0), "");
  api->DBRelease(none);

  long h = api->DBSelectSql("  select account,name,crtime from nq_remark");
  ASSERT_NE(h, 0);
  EXPECT_EQ(api->DBGetRecordCount(h), 1);
  EXPECT_EQ(api->DBGetFieldCount(h), 3);
  EXPECT_STREQ(api->DBGetStrValue(h, 0, 1), "Ann");
  EXPECT_STREQ(api->DBGetStrValue(h, 0, 2), "");  // NULL
  EXPECT_STREQ(api->DBGetStrValue(h, 1, 0), "");
  EXPECT_STREQ(api->DBGetStrValue(h, 0, 3), "");
  EXPECT_EQ(api->DBGetIntValue(h, 0, 9), 0);
  // Released, unknown and repeated handles are ignored rather than dereferenced.
  api->DBRelease(h);
  api->DBRelease(h);
  EXPECT_EQ(api->DBGetRecordCount(h), 0);
  EXPECT_STREQ(api->DBGetStrValue(h, 0, 0), "");
  long bogus = 0x1234;
  EXPECT_EQ(api->DBGetIntValue(bogus, 0, 0), 0);
  api->DBRelease(bogus);
}

TEST_F(DatabaseExportsTest, CreateDatabaseMakesAnEmptyFileOnly) {
  std::string path = dir.File("created.db");
  EXPECT_EQ(api->CreateDatabase(path.c_str()), 1);
  EXPECT_TRUE(std::filesystem::exists(path));
  storetest::RawDb raw(path);
  EXPECT_EQ(raw.Query("select count(*) from sqlite_master")[0][0], "0");
  EXPECT_EQ(api->CreateDatabase(""), 0);
  EXPECT_EQ(api->CreateDatabase(nullptr), 0);
  EXPECT_EQ(api->CreateDatabase(dir.Path().c_str()), 0);  // a folder
  EXPECT_EQ(api->CreateDatabase(dir.File("missing/x.db").c_str()), 0);
}
