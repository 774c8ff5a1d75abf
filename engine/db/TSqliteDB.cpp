#include "db/TSqliteDB.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "base/TAutoLock.h"
#include "db/TDatabaseLock.h"
#include "db/TRecordSet.h"

TSqliteDB::~TSqliteDB() { Close(); }

int TSqliteDB::Open(const std::string& path) {
  Close();
  // A new database is the account's whole history: made for the user alone. SQLite
  // would create it with what the umask leaves, and gives its journals the rights
  // of the database file.
  if (!path.empty() && path != ":memory:") {
    const int made = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (made >= 0) close(made);
  }
  sqlite3* handle = nullptr;
  int rc =
      sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    SetError(rc, handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc));
    if (handle) sqlite3_close(handle);
    return 0;
  }
  TAutoLock lock(DatabaseMutex());
  m_handle = handle;
  return 1;
}

int TSqliteDB::Close() {
  TAutoLock lock(DatabaseMutex());
  if (!m_handle) return 0;
  // Record sets own their rows, so no statement is left open on the handle.
  sqlite3_close(m_handle);
  m_handle = nullptr;
  return 1;
}

bool TSqliteDB::IsOpen() const {
  TAutoLock lock(DatabaseMutex());
  return m_handle != nullptr;
}

void TSqliteDB::SetBusyTimeout(int ms) {
  TAutoLock lock(DatabaseMutex());
  if (m_handle) sqlite3_busy_timeout(m_handle, ms);
}

bool TSqliteDB::IsReadOnly() const {
  TAutoLock lock(DatabaseMutex());
  return m_handle && sqlite3_db_readonly(m_handle, "main") == 1;
}

std::string TSqliteDB::GetLastError() const {
  TAutoLock lock(DatabaseMutex());
  return m_lastError;
}

int TSqliteDB::GetLastErrorCode() const {
  TAutoLock lock(DatabaseMutex());
  return m_lastErrorCode;
}

void TSqliteDB::SetError(int code, const char* message) {
  TAutoLock lock(DatabaseMutex());
  m_lastErrorCode = code & 0xff;
  m_lastError = message ? message : "";
}

int TSqliteDB::Exec(const char* sql, TRecordSet* records, int lock) {
  if (!sql) return 0;
  // The handle is read under the lock, so a concurrent close is never raced.
  TAutoLock guard(lock ? &DatabaseMutex() : nullptr);
  if (!m_handle) return 0;
  while (*sql >= 1 && *sql <= 32) ++sql;
  bool query = strncasecmp(sql, "select", 6) == 0;
  char* message = nullptr;
  int rc = sqlite3_exec(m_handle, sql, query && records ? &TRecordSet::CollectRow : nullptr,
                        query ? records : nullptr, &message);
  if (rc == SQLITE_OK) return 1;
  std::string error = message ? message : "";
  if (message) sqlite3_free(message);
  SetError(rc, error.c_str());
  printf("Error sql = %s\nError msg = %s\n", sql, error.c_str());
  fflush(stdout);
  return 0;
}
