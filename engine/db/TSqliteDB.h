#ifndef TESMO_DB_TSQLITEDB_H
#define TESMO_DB_TSQLITEDB_H

#include <string>

struct sqlite3;
class TRecordSet;

// One SQLite connection. Statements are plain SQL text run with sqlite3_exec; a
// query's rows go into a TRecordSet. Failures are reported on standard output.
class TSqliteDB {
 public:
  TSqliteDB() = default;
  ~TSqliteDB();
  TSqliteDB(const TSqliteDB&) = delete;
  TSqliteDB& operator=(const TSqliteDB&) = delete;

  // Opens (read-write, creating a missing file); 1 on success, 0 on failure with
  // the error kept. An open handle is closed first.
  int Open(const std::string& path);
  // 1 when a handle was closed, 0 when none was open.
  int Close();
  bool IsOpen() const;
  // 1 ok, 0 failed or no handle. Rows are collected into records only for a
  // statement that begins with "select" (after leading blanks and control codes).
  int Exec(const char* sql, TRecordSet* records, int lock);

  // Waits up to ms for a lock another connection holds before reporting busy.
  void SetBusyTimeout(int ms);
  // True when SQLite opened the file read-only (no write permission).
  bool IsReadOnly() const;

  // The connection for prepared statements (TSqlStatement); use it only while the
  // database lock is held.
  sqlite3* Handle() const { return m_handle; }

  std::string GetLastError() const;
  // SQLite's primary result code of the last failure (0 until one).
  int GetLastErrorCode() const;

 private:
  void SetError(int code, const char* message);

  std::string m_lastError;
  int m_lastErrorCode = 0;
  sqlite3* m_handle = nullptr;
};

#endif
