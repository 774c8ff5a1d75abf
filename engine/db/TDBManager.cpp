#include "db/TDBManager.h"

#include <sqlite3.h>

#include <cstdio>

#include "base/TAutoLock.h"
#include "db/SqlText.h"
#include "db/TDBSchema.h"
#include "db/TDatabaseLock.h"
#include "db/TRecordSet.h"
#include "db/TSqlStatement.h"
#include "db/TSqliteDB.h"

namespace {
// How long a statement waits for another connection's lock (the program's own
// connection, a backup tool) before it reports busy.
constexpr int kBusyTimeoutMs = 2000;
}  // namespace

TDBManager::TDBManager() : m_db(std::make_unique<TSqliteDB>()) {}

TDBManager::~TDBManager() { ClearCached(); }

std::string TDBManager::GetLastError() const { return m_db->GetLastError(); }

int TDBManager::FailOpen(OpenError error) {
  m_openError = error;
  ClearCached();
  m_db->Close();
  return 0;
}

int TDBManager::Open(const std::string& path) {
  ClearCached();
  m_path = path;
  m_openError = kOpenOk;
  if (path.empty() || !m_db->Open(path)) return FailOpen(kOpenFailed);
  m_db->SetBusyTimeout(kBusyTimeoutMs);

  // SQLite reads the file lazily: this first read tells a database from anything else.
  TRecordSet probe;
  if (!m_db->Exec("select count(*) from sqlite_master", &probe, 1)) {
    int code = m_db->GetLastErrorCode();
    return FailOpen(code == SQLITE_NOTADB || code == SQLITE_CORRUPT ? kOpenNotADatabase
                                                                    : kOpenFailed);
  }
  // A file SQLite could only open read-only would silently lose every write.
  if (m_db->IsReadOnly()) {
    printf("Error msg = database is read-only: %s\n", path.c_str());
    return FailOpen(kOpenFailed);
  }
  // WAL lets the program read while the engine writes; NORMAL sync is durable
  // across application crashes, which is what a chat cache needs.
  m_db->Exec("PRAGMA journal_mode=WAL", nullptr, 1);
  m_db->Exec("PRAGMA synchronous=NORMAL", nullptr, 1);

  if (!EnsureTables()) {
    int code = m_db->GetLastErrorCode();
    return FailOpen(code == SQLITE_NOTADB || code == SQLITE_CORRUPT ? kOpenNotADatabase
                                                                    : kOpenFailed);
  }
  // Columns first, so that indexes on upgraded columns find them.
  ApplyUpgrades();
  CreateIndexes();
  return 1;
}

int TDBManager::EnsureTables() {
  size_t count = 0;
  const TTableDefinition* tables = TDBSchema::Tables(&count);
  for (size_t i = 0; i < count; ++i) {
    long long present =
        QueryInt(std::string("select count(*) from sqlite_master where type='table' and name='") +
                     tables[i].name + "'",
                 -1);
    if (present < 0) return 0;
    if (present == 0 && !Exec(tables[i].sql)) return 0;
  }
  return 1;
}

void TDBManager::ApplyUpgrades() {
  size_t count = 0;
  const TColumnUpgrade* upgrades = TDBSchema::Upgrades(&count);
  for (size_t i = 0; i < count; ++i) {
    std::string table = upgrades[i].table;
    long long present = QueryInt("select count(*) from pragma_table_info(" + SqlQuoted(table) +
                                     ") where name=" + SqlQuoted(upgrades[i].column),
                                 -1);
    if (present != 0) continue;  // there already, or the check failed (reported)
    Exec("alter table " + table + " add column " + upgrades[i].definition);
  }
}

void TDBManager::CreateIndexes() {
  size_t count = 0;
  const TIndexDefinition* indexes = TDBSchema::Indexes(&count);
  for (size_t i = 0; i < count; ++i) Exec(indexes[i].sql);
}

void TDBManager::Close() {
  ClearCached();
  m_db->Close();
}

void TDBManager::ClearCached() {
  TAutoLock lock(DatabaseMutex());
  m_cached.clear();
}

int TDBManager::Exec(const char* sql, TRecordSet* records, int lock) {
  if (!sql || !*sql) return 0;
  try {
    if (records) records->Clear();
    return m_db->Exec(sql, records, lock);
  } catch (...) {
    return 0;
  }
}

int TDBManager::Exec(const std::string& sql, TRecordSet* records, int lock) {
  return Exec(sql.c_str(), records, lock);
}

int TDBManager::BeginTransaction(int lock) { return Exec("begin transaction", nullptr, lock); }

int TDBManager::CommitTransaction(int lock) { return Exec("commit transaction", nullptr, lock); }

int TDBManager::RollbackTransaction(int lock) {
  return Exec("rollback transaction", nullptr, lock);
}

int TDBManager::ExecBatch(const std::vector<std::string>& statements, std::vector<bool>* done) {
  TAutoLock lock(DatabaseMutex());
  if (done) done->assign(statements.size(), false);
  int began = BeginTransaction(0);
  for (size_t i = 0; i < statements.size(); ++i) {
    const int ok = Exec(statements[i], nullptr, 0);
    if (done) (*done)[i] = ok != 0;
  }
  if (!began) return 0;
  if (CommitTransaction(0)) return 1;
  // Never leave the connection inside a transaction nobody will commit.
  RollbackTransaction(0);
  if (done) done->assign(statements.size(), false);
  return 0;
}

std::unique_ptr<TSqlStatement> TDBManager::Prepare(const std::string& sql) {
  TAutoLock lock(DatabaseMutex());
  auto statement = std::make_unique<TSqlStatement>(m_db->Handle(), sql);
  if (!statement->IsValid()) return nullptr;
  return statement;
}

TSqlStatement* TDBManager::Cached(const std::string& sql) {
  TAutoLock lock(DatabaseMutex());
  auto found = m_cached.find(sql);
  if (found != m_cached.end()) return found->second.get();
  auto statement = std::make_unique<TSqlStatement>(m_db->Handle(), sql);
  if (!statement->IsValid()) return nullptr;
  return m_cached.emplace(sql, std::move(statement)).first->second.get();
}

long long TDBManager::LastInsertRowId() {
  TAutoLock lock(DatabaseMutex());
  return m_db->Handle() ? sqlite3_last_insert_rowid(m_db->Handle()) : 0;
}

long long TDBManager::QueryInt(const std::string& sql, long long defaultValue) {
  TRecordSet records;
  if (!Exec(sql, &records, 1) || records.GetRecordCount() < 1) return defaultValue;
  return records.GetInt64(0, 0);
}

int TDBManager::QueryExists(const std::string& sql, int lock) {
  TRecordSet records;
  return Exec(sql, &records, lock) && records.GetRecordCount() > 0 ? 1 : 0;
}

std::string TDBManager::GetSaveInfo(int type, const std::string& key) {
  TRecordSet records;
  std::string sql = "select Content from nq_saveinfo where type=" + std::to_string(type) +
                    " and key=" + SqlQuoted(key);
  if (!Exec(sql, &records, 1) || records.GetRecordCount() < 1) return "";
  return records.GetString(0, 0);
}

int TDBManager::SetSaveInfo(int type, const std::string& key, const std::string& value) {
  std::string where = " where type=" + std::to_string(type) + " and key=" + SqlQuoted(key);
  // Select and write under one lock hold, so two first writers cannot both insert.
  TAutoLock lock(DatabaseMutex());
  if (QueryExists("select type from nq_saveinfo" + where, 1)) {
    return Exec("update nq_saveinfo set Content=" + SqlQuoted(value) + where);
  }
  return Exec("insert into nq_saveinfo(type,key,Content) values(" + std::to_string(type) + "," +
              SqlQuoted(key) + "," + SqlQuoted(value) + ")");
}

int TDBManager::SetSaveInfoInt(int type, const std::string& key, long long value) {
  return SetSaveInfo(type, key, std::to_string(value));
}
