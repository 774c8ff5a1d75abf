#ifndef TESMO_DB_TDBMANAGER_H
#define TESMO_DB_TDBMANAGER_H

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TRecordSet;
class TSqlStatement;
class TSqliteDB;

// One account database: opens the file, creates missing tables, applies the column
// upgrades and indexes, and offers statements, transactions and the nq_saveinfo
// key/value store. Every method with a lock flag holds the process-wide database
// lock for its statement when the flag is set.
class TDBManager {
 public:
  // Kinds of open failure the caller acts on differently.
  enum OpenError {
    kOpenOk = 0,
    kOpenNotADatabase,  // the file is not a database or is corrupt: set it aside
    kOpenFailed,        // busy, read-only, unreadable, full disk...: leave the file alone
  };

  TDBManager();
  ~TDBManager();
  TDBManager(const TDBManager&) = delete;
  TDBManager& operator=(const TDBManager&) = delete;

  // 1 when the file is open and the schema is in place, else 0 (see GetOpenError).
  int Open(const std::string& path);
  OpenError GetOpenError() const { return m_openError; }
  // Closes the connection; later statements fail with 0.
  void Close();
  const std::string& GetPath() const { return m_path; }
  std::string GetLastError() const;

  // 1 ok, 0 failed, no connection or empty text. A given record set is cleared first.
  int Exec(const char* sql, TRecordSet* records = nullptr, int lock = 1);
  int Exec(const std::string& sql, TRecordSet* records = nullptr, int lock = 1);
  int BeginTransaction(int lock = 1);
  int CommitTransaction(int lock = 1);
  int RollbackTransaction(int lock = 1);
  // Runs the statements in one transaction under the database lock; a failing
  // statement is reported and skipped. 1 when the transaction committed. With done,
  // done[i] tells whether statement i is stored (all false when nothing committed).
  int ExecBatch(const std::vector<std::string>& statements, std::vector<bool>* done = nullptr);
  // A prepared statement on this connection, or null when it does not compile. Make,
  // use and destroy it while holding the database lock.
  std::unique_ptr<TSqlStatement> Prepare(const std::string& sql);
  // A prepared statement kept for reuse on this connection, ready to bind; null when
  // it does not compile. Hot paths run one a few times per message instead of
  // compiling its text each time. Use it and Reset it while holding the database
  // lock; it lives until the connection is closed or opened again.
  TSqlStatement* Cached(const std::string& sql);
  // The rowid of the last insert on this connection; hold the database lock from
  // the insert to this call.
  long long LastInsertRowId();
  // Field (0,0) of the query's first row as a number, else the default.
  long long QueryInt(const std::string& sql, long long defaultValue);
  // 1 when the query succeeded with at least one row.
  int QueryExists(const std::string& sql, int lock = 1);

  // nq_saveinfo: "" for a missing key.
  std::string GetSaveInfo(int type, const std::string& key);
  // Insert or replace; 1 when written.
  int SetSaveInfo(int type, const std::string& key, const std::string& value);
  int SetSaveInfoInt(int type, const std::string& key, long long value);

 private:
  int FailOpen(OpenError error);
  int EnsureTables();
  void ApplyUpgrades();
  void CreateIndexes();

  void ClearCached();

  std::unique_ptr<TSqliteDB> m_db;
  // Finalized before the connection closes (declared after it, destroyed first).
  std::unordered_map<std::string, std::unique_ptr<TSqlStatement>> m_cached;
  std::string m_path;
  OpenError m_openError = kOpenOk;
};

#endif
