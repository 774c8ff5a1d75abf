// Opening an account database through the facade: the results, what happens to
// files that cannot be opened, the session values loaded, and the start-up fixes
// (send state, mobile numbers, conversation ids).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "core/TEngineCore.h"
#include "db/TDBManager.h"
#include "engine/db/StoreTestSupport.h"

namespace fs = std::filesystem;
using storetest::ReadFile;
using storetest::TempDir;
using storetest::WriteFile;

namespace {

class SetDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override { api.Init(); }
  void TearDown() override { api.Release(); }
  std::string One(const std::string& sql) { return storetest::SelectOne(api, sql); }

  TempDir dir;
  TAPIInterface api;
};

// Files set aside next to path (kept, never deleted).
std::vector<std::string> AsideFiles(const std::string& folder, const std::string& base) {
  std::vector<std::string> found;
  for (const auto& e : fs::directory_iterator(folder)) {
    std::string name = e.path().filename().string();
    if (name.rfind(base + ".broken-", 0) == 0) found.push_back(e.path().string());
  }
  return found;
}

}  // namespace

TEST_F(SetDatabaseTest, ResultTable) {
  std::string a = dir.File("a.db");
  std::string b = dir.File("b.db");
  fs::create_directory(dir.File("folder"));
  struct Row {
    const char* what;
    const char* path;
    int result;
  } rows[] = {
      {"null path", nullptr, -1},
      {"empty path", "", -1},
      {"new file", a.c_str(), 2},
      {"same path again", a.c_str(), 1},
      {"another file", b.c_str(), 2},
      {"back to the first", a.c_str(), 2},
      {"a folder", dir.Path().c_str(), -2},
      {"inside a missing folder", "/nonexistent-tesmo/x/tesChat.db", -2},
      {"still the first", a.c_str(), 1},
  };
  for (const Row& r : rows) EXPECT_EQ(api.SetDatabase(r.path), r.result) << r.what;
  // A failed open keeps the database that was open.
  ASSERT_EQ(api.DBExecSql("insert into nq_remark(account,name) values('k','v')"), 1);
  EXPECT_EQ(One("select name from nq_remark"), "v");
  EXPECT_TRUE(fs::is_directory(dir.File("folder")));
  EXPECT_FALSE(fs::exists("/nonexistent-tesmo"));
}

TEST_F(SetDatabaseTest, WithoutInitOnlyTheFileIsOpened) {
  TAPIInterface bare;  // no engine core: no session values, no contact cache
  bare.Release();
  std::string p = dir.File("bare.db");
  EXPECT_EQ(bare.SetDatabase(p.c_str()), 2);
  EXPECT_EQ(bare.DBExecSql("insert into nq_remark(account) values('a')"), 1);
  EXPECT_EQ(bare.IsLogin(), 0);
}

TEST_F(SetDatabaseTest, NotADatabaseIsKeptAsideAndReplaced) {
  struct Row {
    const char* what;
    std::string bytes;
  } rows[] = {
      {"text", "these are not the pages of a database\n"},
      {"header then garbage", std::string("SQLite format 3\0", 16) + std::string(4080, '\x5a')},
      {"binary", std::string(8192, '\xff')},
  };
  int n = 0;
  for (const Row& r : rows) {
    std::string name = "bad" + std::to_string(n++) + ".db";
    std::string path = dir.File(name);
    WriteFile(path, r.bytes);
    EXPECT_EQ(api.SetDatabase(path.c_str()), 2) << r.what;
    std::vector<std::string> aside = AsideFiles(dir.Path(), name);
    ASSERT_EQ(aside.size(), 1u) << r.what;
    EXPECT_EQ(ReadFile(aside[0]), r.bytes) << r.what;
    // The path now holds a working, empty account database.
    EXPECT_EQ(One("select count(*) from nq_message"), "0") << r.what;
  }
  // A second bad file at the same path is kept too, under another name.
  std::string again = dir.File("bad0.db");
  WriteFile(again, "broken again");
  EXPECT_EQ(api.SetDatabase(again.c_str()), 2);
  int kept = 0;
  for (const auto& f : AsideFiles(dir.Path(), "bad0.db")) {
    std::string s = ReadFile(f);
    if (s == "broken again" || s == rows[0].bytes) ++kept;
  }
  EXPECT_EQ(kept, 2);
}

TEST_F(SetDatabaseTest, LockedFileIsLeftAlone) {
  std::string path = dir.File("locked.db");
  storetest::RawDb other(path);
  ASSERT_TRUE(other.Exec("create table user_data(v text); insert into user_data values('mine')"));
  ASSERT_TRUE(other.Exec("begin exclusive; insert into user_data values('pending')"));
  std::string before = ReadFile(path);
  EXPECT_EQ(api.SetDatabase(path.c_str()), -2);
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_TRUE(AsideFiles(dir.Path(), "locked.db").empty());
  ASSERT_TRUE(other.Exec("commit"));
  // Once the other connection lets go, the same file opens with its data.
  EXPECT_EQ(api.SetDatabase(path.c_str()), 2);
  EXPECT_EQ(One("select count(*) from user_data"), "2");
}

TEST_F(SetDatabaseTest, ReadOnlyFileOrFolderIsLeftAlone) {
  storetest::WithoutFileOverride plainUser;
  if (!plainUser.Active()) GTEST_SKIP() << "cannot drop the file-mode override";
  std::string path = dir.File("ro.db");
  {
    storetest::RawDb raw(path);
    ASSERT_TRUE(raw.Exec("create table user_data(v text); insert into user_data values('mine')"));
  }
  std::string before = ReadFile(path);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  EXPECT_EQ(api.SetDatabase(path.c_str()), -2);
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_TRUE(AsideFiles(dir.Path(), "ro.db").empty());

  std::string folder = dir.File("rofolder");
  fs::create_directory(folder);
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  EXPECT_EQ(api.SetDatabase((folder + "/tesChat.db").c_str()), -2);
  EXPECT_FALSE(fs::exists(folder + "/tesChat.db"));
  chmod(path.c_str(), 0644);
  chmod(folder.c_str(), 0755);
}

TEST_F(SetDatabaseTest, OpeningResetsSendingStateAndMobiles) {
  std::string path = dir.File("state.db");
  {
    TDBManager db;
    ASSERT_EQ(db.Open(path), 1);
    ASSERT_EQ(db.Exec("insert into nq_message(touser,sendstate) values('a',2),('b',1),('c',0)"), 1);
    ASSERT_EQ(db.Exec("insert into nq_contact(userid,account,mobile) values(1,'1@x','+8613')"), 1);
  }
  ASSERT_EQ(api.SetDatabase(path.c_str()), 2);
  EXPECT_EQ(One("select group_concat(touser||sendstate) from nq_message"), "a0,b1,c0");
  EXPECT_EQ(One("select count(*) from nq_contact where mobile<>''"), "0");
}

TEST_F(SetDatabaseTest, LoadsSessionValues) {
  std::string path = dir.File("session.db");
  {
    TDBManager db;
    ASSERT_EQ(db.Open(path), 1);
    const char* values[][2] = {
        {"REGSTATE", "1"},        {"USERID", "55"},           {"ACCOUNT", "55@tesmo.x"},
        {"HTTPSERVER", "h.x:81"}, {"LOGINSTATE", "1"},        {"NAME", "Ann O'Neil"},
        {"ICON", "http://i/1"},   {"BIGICON", "http://i/2"},  {"SUMMARY", "hello"},
        {"VERSION", "7"},         {"CHAMPFLAG", "2"},         {"UPSERVER", "up.x:82"},
        {"DOWNSERVER", "dl.x/d"}, {"PROXYSERVER", "px.x:83"}, {"BLACK", "9@x,3@group.x"},
        {"ISLOGIN", "1"},         {"ucuserid", "uc-77"},
    };
    for (auto& kv : values) ASSERT_EQ(db.SetSaveInfo(1, kv[0], kv[1]), 1);
  }
  ASSERT_EQ(api.SetDatabase(path.c_str()), 2);
  TEngineCore* core = TEngineCore::Instance();
  EXPECT_STREQ(api.GetMyUserID(), "55");
  EXPECT_STREQ(api.GetMyAccount(), "55@tesmo.x");
  EXPECT_STREQ(api.GetMyName(), "Ann O'Neil");
  EXPECT_STREQ(api.GetMyLogo(), "http://i/1");
  EXPECT_STREQ(api.GetMyBigLogo(), "http://i/2");
  EXPECT_STREQ(api.GetMySummary(), "hello");
  EXPECT_EQ(core->GetVersion(), 7);
  EXPECT_EQ(api.GetChampFlag(), 2);
  EXPECT_STREQ(api.GetBlackList(), "9@x,3@group.x");
  EXPECT_EQ(core->GetHttpHost(), "h.x");
  EXPECT_EQ(core->GetHttpPort(), 81);
  EXPECT_EQ(core->GetUpHost(), "up.x");
  EXPECT_EQ(core->GetUpPort(), 82);
  EXPECT_EQ(core->GetProxyHost(), "px.x");
  EXPECT_EQ(core->GetProxyPort(), 83);
  EXPECT_EQ(core->GetDownServer(), "dl.x/d");
  EXPECT_EQ(api.IsLogin(), 1);
  EXPECT_STREQ(api.GetUCUserID(), "uc-77");
}

TEST_F(SetDatabaseTest, WithoutRegistrationTheIdentityStaysEmpty) {
  std::string path = dir.File("unregistered.db");
  {
    TDBManager db;
    ASSERT_EQ(db.Open(path), 1);
    ASSERT_EQ(db.SetSaveInfo(1, "USERID", "99"), 1);  // no REGSTATE: not loaded
    ASSERT_EQ(db.SetSaveInfo(1, "NAME", "Bob"), 1);   // no LOGINSTATE: not loaded
  }
  ASSERT_EQ(api.SetDatabase(path.c_str()), 2);
  EXPECT_STREQ(api.GetMyUserID(), "0");
  EXPECT_STREQ(api.GetMyAccount(), "");
  EXPECT_STREQ(api.GetMyName(), "");
  EXPECT_EQ(api.IsLogin(), 0);
}

TEST_F(SetDatabaseTest, AccountIdMigrationRunsOnceInBatches) {
  std::string path = dir.File("migrate.db");
  {
    TDBManager db;
    ASSERT_EQ(db.Open(path), 1);
    std::vector<std::string> rows;
    for (int i = 1; i <= 2500; ++i) {
      rows.push_back("insert into nq_messagenew(account,msgid) values('" + std::to_string(i) +
                     "@tesmo.x'," + std::to_string(i) + ")");
    }
    ASSERT_EQ(db.ExecBatch(rows), 1);
  }
  ASSERT_EQ(api.SetDatabase(path.c_str()), 2);
  EXPECT_EQ(One("select count(*) from nq_messagenew where accountid<>cast(account as integer)"),
            "0");
  EXPECT_EQ(One("select accountid from nq_messagenew where account='12@tesmo.x'"), "12");
  EXPECT_EQ(One("select Content from nq_saveinfo where key='INITACCCOUNTID'"), "1");

  // Run again by hand: 2500 statements go in batches of 1000, 1000 and 500.
  ASSERT_EQ(api.DBExecSql("update nq_messagenew set accountid=0"), 1);
  ASSERT_EQ(api.DBExecSql("update nq_saveinfo set Content='' where key='INITACCCOUNTID'"), 1);
  TEngineCore* core = TEngineCore::Instance();
  EXPECT_EQ(core->MigrateAccountIds(), 3);
  EXPECT_EQ(One("select count(*) from nq_messagenew where accountid=0"), "0");
  // Marked done: it never runs again on this database.
  ASSERT_EQ(api.DBExecSql("update nq_messagenew set accountid=0 where account='5@tesmo.x'"), 1);
  EXPECT_EQ(core->MigrateAccountIds(), 0);
  EXPECT_EQ(One("select accountid from nq_messagenew where account='5@tesmo.x'"), "0");
}

TEST_F(SetDatabaseTest, AccountIdMigrationRuleAndHostileAccounts) {
  std::string path = dir.File("rule.db");
  {
    TDBManager db;
    ASSERT_EQ(db.Open(path), 1);
    ASSERT_EQ(db.SetSaveInfo(1, "REGSTATE", "1"), 1);
    ASSERT_EQ(db.SetSaveInfo(1, "ACCOUNT", "100@tesmo.x"), 1);
    ASSERT_EQ(db.Exec("insert into nq_messagenew(account) values"
                      "('12''3@x'),('x''); drop table nq_message; --'),('3000000000@x'),"
                      "('plain')"),
              1);
    // fromuser, fromgroup, touser -> expected accountid
    ASSERT_EQ(db.Exec("insert into nq_message(fromuser,fromgroup,touser) values"
                      "('7@x','500@group.x','500@group.x'),"  // group: fromgroup
                      "('8@x','','100@tesmo.x'),"             // to me: the sender
                      "('100@tesmo.x','','9@x'),"             // from me: the receiver
                      "('8@x','','group@x')"),                // "group" without fromgroup
              1);
  }
  ASSERT_EQ(api.SetDatabase(path.c_str()), 2);
  EXPECT_EQ(One("select group_concat(accountid, ',') from (select accountid from nq_messagenew "
                "order by rowid)"),
            "12,0,3000000000,0");
  EXPECT_EQ(One("select group_concat(accountid, ',') from (select accountid from nq_message "
                "order by id)"),
            "500,8,9,0");
  EXPECT_EQ(One("select count(*) from sqlite_master where name='nq_message'"), "1");
}
