// The account database's schema as the program sees it through the SQL exports:
// every table, column, declared type, default and key, on a fresh file, after a
// re-open, and after upgrading a file made by an earlier version.
#include <gtest/gtest.h>
#include <strings.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/db/StoreTestSupport.h"

using storetest::FacadeTest;
using storetest::Rows;

namespace {

// name, declared type, default ("" for none), position in the primary key.
// SQLite reports the plain type names (int, integer, text) in capitals, so here the
// declared type is compared without regard to case; its exact spelling is checked
// against the stored table definition.
struct Column {
  std::string name, type, dflt;
  int pk;
  bool operator==(const Column& o) const {
    return name == o.name && strcasecmp(type.c_str(), o.type.c_str()) == 0 && dflt == o.dflt &&
           pk == o.pk;
  }
};

std::ostream& operator<<(std::ostream& os, const Column& c) {
  return os << c.name << " " << c.type << " default[" << c.dflt << "] pk" << c.pk;
}

const std::map<std::string, std::vector<Column>>& Golden() {
  static const std::map<std::string, std::vector<Column>> golden = {
      {"nq_saveinfo",
       {{"Type", "INTEGER(4)", "0", 1},
        {"Key", "Varchar(128)", "", 2},
        {"Content", "text", "", 0}}},
      {"nq_messagenew",
       {{"account", "varchar(32)", "", 1},
        {"accountid", "integer(20)", "0", 0},
        {"msgid", "INTEGER(20)", "0", 0},
        {"isservice", "INTEGER(2)", "0", 0},
        {"servtype", "INTEGER(2)", "0", 0},
        {"lastid", "INTEGER(10)", "0", 0},
        {"msgtype", "INTEGER(10)", "0", 0},
        {"content", "TEXT", "", 0},
        {"unread", "INTEGER(10)", "0", 0},
        {"deleted", "integer", "0", 0},
        {"crtime", "Datetime", "", 0}}},
      {"nq_message",
       {{"id", "integer", "", 1},
        {"msgid", "integer(10)", "0", 0},
        {"accountid", "integer(20)", "0", 0},
        {"msgtype", "integer(2)", "", 0},
        {"fromuser", "varchar(64)", "", 0},
        {"fromgroup", "varchar(64)", "", 0},
        {"fromver", "integer(10)", "", 0},
        {"device", "integer(2)", "", 0},
        {"touser", "varchar(64)", "", 0},
        {"totype", "integer(2)", "", 0},
        {"content", "text", "", 0},
        {"remark", "varchar(1024)", "", 0},
        {"localpath", "varchar(512)", "", 0},
        {"fileurl", "varchar(512)", "", 0},
        {"sendflag", "INTEGER(2)", "0", 0},
        {"sendstate", "INTEGER(2)", "0", 0},
        {"localsend", "INTEGER(2)", "0", 0},
        {"seeflag", "INTEGER(2)", "0", 0},
        {"atflag", "INTEGER(2)", "0", 0},
        {"cancelflag", "INTEGER(2)", "0", 0},
        {"sendtime", "Datetime", "", 0},
        {"deleted", "integer", "0", 0},
        {"fwflag", "integer(2)", "0", 0},
        {"peerread", "integer(2)", "0", 0},
        {"revokeflag", "integer(2)", "0", 0}}},
      {"nq_group",
       {{"groupid", "varchar(128)", "", 1},
        {"parentid", "varchar(128)", "", 0},
        {"path", "varchar(2048)", "", 0},
        {"craccount", "varchar(64)", "", 0},
        {"groupname", "varchar(128)", "", 0},
        {"grouplogo", "varchar(512)", "", 0},
        {"groupinfo", "varchar(512)", "", 0},
        {"usercount", "int(4)", "", 0},
        {"entrytime", "Datetime", "", 0},
        {"version", "int", "", 0},
        {"userversion", "int", "", 0},
        {"groupstate", "INTEGER(2)", "0", 0},
        {"type", "int", "0", 0},
        {"banall", "int", "0", 0},
        {"banurl", "int", "0", 0},
        {"banpic", "int", "0", 0},
        {"banchat", "int", "0", 0},
        {"banmsg", "int", "0", 0},
        {"banscreenshot", "int", "0", 0},
        {"banuser", "int", "0", 0},
        {"surl", "varchar(64)", "", 0},
        {"title", "int", "0", 0},
        {"detail", "varchar(2048)", "", 0}}},
      {"nq_groupuser",
       {{"groupid", "varchar(128)", "", 0},
        {"account", "varchar(128)", "", 0},
        {"nick", "varchar(128)", "", 0},
        {"role", "int(2)", "3", 0},
        {"champflag", "int(2)", "0", 0},
        {"entrytime", "Datetime", "", 0},
        {"msgid", "int", "0", 0},
        {"msgtime", "bigint(20)", "0", 0},
        {"userversion", "int", "0", 0}}},
      {"nq_contact",
       {{"userid", "integer(10)", "", 1},
        {"account", "varchar(128)", "", 0},
        {"mobile", "varchar(64)", "", 0},
        {"email", "varchar(128)", "", 0},
        {"name", "varchar(64)", "", 0},
        {"fullspell", "varchar(64)", "", 0},
        {"initspell", "varchar(64)", "", 0},
        {"summary", "varchar(512)", "", 0},
        {"logo", "varchar(512)", "", 0},
        {"biglogo", "varchar(512)", "", 0},
        {"isfriend", "int(2)", "0", 0},
        {"version", "int(4)", "0", 0},
        {"modifytime", "datetime", "", 0},
        {"champflag", "int(2)", "0", 0}}},
      {"nq_redlist",
       {{"redkey", "varchar(128)", "", 1},
        {"userid", "integer(10)", "", 0},
        {"redtype", "integer(2)", "0", 0},
        {"state", "int(2)", "0", 0},
        {"finish", "int(2)", "0", 0},
        {"reason", "int(2)", "0", 0},
        {"amount", "varchar(32)", "", 0},
        {"crtime", "Datetime", "", 0}}},
      {"nq_remark",
       {{"account", "varchar(64)", "", 1},
        {"name", "varchar(128)", "", 0},
        {"crtime", "datetime", "", 0}}},
  };
  return golden;
}

// True when the table definition holds the column's name and declared type as one
// whole item of its column list.
bool DeclaresColumn(const std::string& sql, const std::string& declaration) {
  for (size_t at = sql.find(declaration); at != std::string::npos;
       at = sql.find(declaration, at + 1)) {
    char before = at ? sql[at - 1] : '(';
    size_t end = at + declaration.size();
    char after = end < sql.size() ? sql[end] : ')';
    if ((before == '(' || before == ' ') && (after == ' ' || after == ',' || after == ')')) {
      return true;
    }
  }
  return false;
}

std::vector<Column> TableInfo(TAPIInterface& api, const std::string& table) {
  std::vector<Column> cols;
  for (const auto& r : storetest::Select(
           api, "select name, type, dflt_value, pk from pragma_table_info('" + table + "')")) {
    cols.push_back({r[0], r[1], r[2], atoi(r[3].c_str())});
  }
  return cols;
}

std::set<std::string> Tables(TAPIInterface& api) {
  std::set<std::string> names;
  for (const auto& r : storetest::Select(
           api, "select name from sqlite_master where type='table' and name not like 'sqlite_%'")) {
    names.insert(r[0]);
  }
  return names;
}

std::string SchemaDump(TAPIInterface& api) {
  std::string dump;
  for (const auto& r : storetest::Select(
           api, "select type, name, ifnull(sql,'') from sqlite_master order by type, name")) {
    dump += r[0] + "|" + r[1] + "|" + r[2] + "\n";
  }
  return dump;
}

}  // namespace

using SchemaTest = FacadeTest;

TEST_F(SchemaTest, FreshFileHasEveryTableColumnTypeAndDefault) {
  std::set<std::string> expected;
  for (const auto& kv : Golden()) expected.insert(kv.first);
  EXPECT_EQ(Tables(*api), expected);
  for (const auto& kv : Golden()) {
    EXPECT_EQ(TableInfo(*api, kv.first), kv.second) << kv.first;
    // The program's queries see the declared types letter for letter, and SQLite keeps
    // them so only in the stored definition.
    std::string sql =
        SelectOne("select sql from sqlite_master where type='table' and name='" + kv.first + "'");
    for (const Column& c : kv.second) {
      EXPECT_TRUE(DeclaresColumn(sql, c.name + " " + c.type))
          << kv.first << "." << c.name << " " << c.type << " in " << sql;
    }
  }
  // The historical indexes are all there (further ones may serve look-ups).
  std::set<std::string> indexes;
  for (const auto& r : Select("select name from sqlite_master where type='index'")) {
    indexes.insert(r[0]);
  }
  for (const char* name :
       {"friend_index1", "msg_index1", "msg_index3", "msg_index4", "msgnew_accountid"}) {
    EXPECT_TRUE(indexes.count(name)) << name;
  }
  // nq_message ids come from autoincrement: a deleted last id is never reused.
  ASSERT_TRUE(Exec("insert into nq_message(msgtype) values(0)"));
  ASSERT_TRUE(Exec("delete from nq_message"));
  ASSERT_TRUE(Exec("insert into nq_message(msgtype) values(0)"));
  EXPECT_EQ(SelectOne("select max(id) from nq_message"), "2");
}

TEST_F(SchemaTest, ReopenChangesNothing) {
  ASSERT_TRUE(Exec("insert into nq_remark(account,name) values('a','Ann')"));
  std::string before = SchemaDump(*api);
  std::string other = dir.File("other.db");
  ASSERT_EQ(api->SetDatabase(other.c_str()), 2);
  ASSERT_EQ(api->SetDatabase(dbPath.c_str()), 2);
  EXPECT_EQ(SchemaDump(*api), before);
  EXPECT_EQ(SelectOne("select name from nq_remark where account='a'"), "Ann");
}

TEST_F(SchemaTest, OldFileGainsUpgradedColumnsAndKeepsItsRows) {
  std::string old = dir.File("old.db");
  {
    // Tables as an earlier version made them, without the later columns.
    storetest::RawDb raw(old);
    ASSERT_TRUE(raw.Exec(
        "create table nq_message (id integer PRIMARY KEY autoincrement, msgid integer(10) "
        "default 0, msgtype integer(2), fromuser varchar(64), fromgroup varchar(64), fromver "
        "integer(10), device integer(2), touser varchar(64), totype integer(2), content text, "
        "remark varchar(1024), localpath varchar(512), fileurl varchar(512), sendflag "
        "INTEGER(2) default 0, sendstate INTEGER(2) default 0, localsend INTEGER(2) default 0, "
        "seeflag INTEGER(2) default 0, atflag INTEGER(2) default 0, cancelflag INTEGER(2) "
        "default 0, sendtime Datetime, deleted integer default 0);"
        "create table nq_messagenew (account varchar(32), msgid INTEGER(20) default 0, "
        "isservice INTEGER(2) default 0, servtype INTEGER(2) default 0, lastid INTEGER(10) "
        "default 0, msgtype INTEGER(10) default 0, content TEXT, unread INTEGER(10) default 0, "
        "deleted integer default 0, crtime Datetime, primary key (account));"
        "create table nq_group (groupid varchar(128), parentid varchar(128), path "
        "varchar(2048), craccount varchar(64), groupname varchar(128), grouplogo varchar(512), "
        "groupinfo varchar(512), usercount int(4), entrytime Datetime, version int, userversion "
        "int, groupstate INTEGER(2) default 0, primary key (groupid));"
        "create table nq_groupuser (groupid varchar(128), account varchar(128), nick "
        "varchar(128), role int(2) default 3, entrytime Datetime, userversion int default 0);"
        "create table nq_contact (userid integer(10), account varchar(128), mobile varchar(64), "
        "email varchar(128), name varchar(64), fullspell varchar(64), initspell varchar(64), "
        "summary varchar(512), logo varchar(512), biglogo varchar(512), isfriend int(2) default "
        "0, version int(4) default 0, modifytime datetime, primary key (userid));"
        "insert into nq_message(touser,fromuser,totype,content,sendtime) "
        "values('77@x','me@x',0,'kept','2020-01-01 00:00:00');"
        "insert into nq_group(groupid,groupname) values('g1@group.x','Old group');"));
  }
  ASSERT_EQ(api->SetDatabase(old.c_str()), 2);

  // The added columns carry the upgrades' declared types and defaults.
  struct Added {
    std::string table, column, type, dflt;
  } added[] = {
      {"nq_message", "fwflag", "integer(2)", "0"},
      {"nq_message", "peerread", "integer(2)", "0"},
      {"nq_message", "revokeflag", "integer(2)", "0"},
      {"nq_message", "accountid", "integer(10)", "0"},
      {"nq_messagenew", "accountid", "integer(10)", "0"},
      {"nq_groupuser", "msgid", "integer", "0"},
      {"nq_groupuser", "msgtime", "bigint(20)", "0"},
      {"nq_groupuser", "champflag", "integer(2)", "0"},
      {"nq_contact", "champflag", "integer(2)", "0"},
      {"nq_group", "banall", "integer(2)", "0"},
      {"nq_group", "banuser", "integer(2)", "0"},
      {"nq_group", "detail", "varchar(2048)", ""},
      {"nq_group", "surl", "varchar(64)", ""},
      {"nq_group", "title", "integer(2)", "0"},
      {"nq_group", "banurl", "integer(2)", "0"},
      {"nq_group", "banpic", "integer(2)", "0"},
      {"nq_group", "banchat", "integer(2)", "0"},
      {"nq_group", "banmsg", "integer(2)", "0"},
      {"nq_group", "banscreenshot", "integer(2)", "0"},
      {"nq_group", "type", "integer(2)", "0"},
  };
  for (const Added& a : added) {
    std::vector<Column> cols = TableInfo(*api, a.table);
    auto it =
        std::find_if(cols.begin(), cols.end(), [&](const Column& c) { return c.name == a.column; });
    ASSERT_NE(it, cols.end()) << a.table << "." << a.column;
    EXPECT_EQ(strcasecmp(it->type.c_str(), a.type.c_str()), 0)
        << a.table << "." << a.column << " " << it->type;
    EXPECT_EQ(it->dflt, a.dflt) << a.table << "." << a.column;
  }
  // Upgraded, every table has the same columns as a fresh file.
  for (const auto& kv : Golden()) {
    std::set<std::string> want, got;
    for (const Column& c : kv.second) want.insert(c.name);
    for (const Column& c : TableInfo(*api, kv.first)) got.insert(c.name);
    EXPECT_EQ(got, want) << kv.first;
  }
  EXPECT_EQ(SelectOne("select content from nq_message where touser='77@x'"), "kept");
  EXPECT_EQ(SelectOne("select banall from nq_group where groupid='g1@group.x'"), "0");
  // The migration filled the new conversation id of the old row.
  EXPECT_EQ(SelectOne("select accountid from nq_message where touser='77@x'"), "77");
  // The index on the upgraded column exists too.
  EXPECT_EQ(SelectOne("select count(*) from sqlite_master where type='index' and "
                      "name='msg_index3'"),
            "1");
}
