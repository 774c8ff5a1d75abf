// Shared by the store tests: temporary folders, a facade with an open account
// database, and reading rows back through the program's own SQL exports.
#ifndef TESMO_TESTS_ENGINE_DB_STORETESTSUPPORT_H
#define TESMO_TESTS_ENGINE_DB_STORETESTSUPPORT_H

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sqlite3.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TAPIInterface.h"

namespace storetest {

using Rows = std::vector<std::vector<std::string>>;

// A fresh folder under the system's temporary directory, removed with its content.
class TempDir {
 public:
  TempDir() {
    std::string base = std::filesystem::temp_directory_path().string() + "/tesmo-store-XXXXXX";
    std::vector<char> buf(base.begin(), base.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data())) m_path = buf.data();
  }
  ~TempDir() {
    std::error_code ec;
    // Folders made read-only by a test must be writable again to be removed.
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return m_path; }
  std::string File(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// All rows of a query, read through DBSelectSql / DBGetStrValue as the program does.
inline Rows Select(TAPIInterface& api, const std::string& sql) {
  Rows rows;
  long h = api.DBSelectSql(sql.c_str());
  EXPECT_NE(h, 0) << sql;
  if (!h) return rows;
  int n = api.DBGetRecordCount(h);
  int m = api.DBGetFieldCount(h);
  for (int r = 0; r < n; ++r) {
    std::vector<std::string> row;
    for (int c = 0; c < m; ++c) row.emplace_back(api.DBGetStrValue(h, r, c));
    rows.push_back(std::move(row));
  }
  api.DBRelease(h);
  return rows;
}

inline std::string SelectOne(TAPIInterface& api, const std::string& sql) {
  Rows rows = Select(api, sql);
  return rows.empty() || rows[0].empty() ? std::string() : rows[0][0];
}

inline std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    out.push_back(c);
    if (c == '\'') out.push_back('\'');
  }
  return out + "'";
}

// A plain SQLite connection of the test's own, independent of the engine's wrapper.
class RawDb {
 public:
  explicit RawDb(const std::string& path) {
    if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK) {
      sqlite3_close(m_db);
      m_db = nullptr;
    }
  }
  ~RawDb() { sqlite3_close(m_db); }
  RawDb(const RawDb&) = delete;
  RawDb& operator=(const RawDb&) = delete;
  bool Exec(const std::string& sql) {
    return m_db && sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  }
  Rows Query(const std::string& sql) {
    Rows rows;
    if (!m_db) return rows;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) return rows;
    while (sqlite3_step(st) == SQLITE_ROW) {
      std::vector<std::string> row;
      for (int i = 0; i < sqlite3_column_count(st); ++i) {
        const unsigned char* t = sqlite3_column_text(st, i);
        row.emplace_back(t ? reinterpret_cast<const char*>(t) : "");
      }
      rows.push_back(std::move(row));
    }
    sqlite3_finalize(st);
    return rows;
  }

 private:
  sqlite3* m_db = nullptr;
};

// A facade that is initialised and has an account database open in a temporary
// folder; released at the end of the test.
class FacadeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    api = std::make_unique<TAPIInterface>();
    api->Init();
    dbPath = dir.File("tesChat.db");
    ASSERT_EQ(api->SetDatabase(dbPath.c_str()), 2);
  }
  void TearDown() override {
    api->Release();
    api.reset();
  }
  bool Exec(const std::string& sql) { return api->DBExecSql(sql.c_str()) == 1; }
  Rows Select(const std::string& sql) { return storetest::Select(*api, sql); }
  std::string SelectOne(const std::string& sql) { return storetest::SelectOne(*api, sql); }
  // Stores a message row as the message paths do; returns its local id.
  int InsertMessage(const std::string& from, const std::string& to, int totype,
                    const std::string& content, const std::string& sendtime, int msgtype = 0,
                    int msgid = 0, const std::string& fromgroup = "") {
    bool ok = Exec(
        "insert into nq_message(msgid,msgtype,fromuser,fromgroup,touser,totype,content,remark,"
        "sendtime) values(" +
        std::to_string(msgid) + "," + std::to_string(msgtype) + "," + Quote(from) + "," +
        Quote(fromgroup) + "," + Quote(to) + "," + std::to_string(totype) + "," + Quote(content) +
        ",''," + Quote(sendtime) + ")");
    EXPECT_TRUE(ok);
    return atoi(SelectOne("select max(id) from nq_message").c_str());
  }

  TempDir dir;
  std::string dbPath;
  std::unique_ptr<TAPIInterface> api;
};

// Runs the calling thread without the capabilities that let root ignore file
// modes, so permission tests mean the same as for a normal user. Restored on exit.
class WithoutFileOverride {
 public:
  WithoutFileOverride() {
    if (geteuid() != 0) {
      m_active = true;  // modes already apply
      return;
    }
    m_header.version = _LINUX_CAPABILITY_VERSION_3;
    m_header.pid = 0;
    if (syscall(SYS_capget, &m_header, m_saved) != 0) return;
    __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
    unsigned drop = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);
    reduced[0].effective &= ~drop;
    m_active = syscall(SYS_capset, &m_header, reduced) == 0;
    m_restore = m_active;
  }
  ~WithoutFileOverride() {
    if (m_restore) syscall(SYS_capset, &m_header, m_saved);
  }
  WithoutFileOverride(const WithoutFileOverride&) = delete;
  WithoutFileOverride& operator=(const WithoutFileOverride&) = delete;
  bool Active() const { return m_active; }

 private:
  bool m_active = false;
  bool m_restore = false;
  __user_cap_header_struct m_header{};
  __user_cap_data_struct m_saved[2]{};
};

}  // namespace storetest

#endif
