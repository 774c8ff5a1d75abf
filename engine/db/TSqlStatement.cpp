#include "db/TSqlStatement.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstring>

TSqlStatement::TSqlStatement(sqlite3* handle, const std::string& sql) : m_handle(handle) {
  if (!handle) {
    m_error = "no connection";
    return;
  }
  if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &m_statement, nullptr) != SQLITE_OK) {
    m_error = sqlite3_errmsg(handle);
    printf("Error sql = %s\nError msg = %s\n", sql.c_str(), m_error.c_str());
    fflush(stdout);
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
  }
}

TSqlStatement::~TSqlStatement() {
  if (m_statement) sqlite3_finalize(m_statement);
}

void TSqlStatement::BindInt(int index, long long value) {
  if (m_statement) sqlite3_bind_int64(m_statement, index, value);
}

void TSqlStatement::BindText(int index, const std::string& text) {
  if (!m_statement) return;
  // A quoted literal ends at the text's first zero byte; so does the bound value.
  // The caller's text outlives the step: Reset clears the bindings before it goes.
  size_t length = strnlen(text.c_str(), text.size());
  sqlite3_bind_text(m_statement, index, text.c_str(), static_cast<int>(length), SQLITE_STATIC);
}

TSqlStatement::StepResult TSqlStatement::Step() {
  if (!m_statement) return kError;
  int rc = sqlite3_step(m_statement);
  if (rc == SQLITE_ROW) return kRow;
  if (rc == SQLITE_DONE) return kDone;
  m_error = sqlite3_errmsg(m_handle);
  printf("Error sql = %s\nError msg = %s\n", sqlite3_sql(m_statement), m_error.c_str());
  fflush(stdout);
  return kError;
}

void TSqlStatement::Reset() {
  if (!m_statement) return;
  sqlite3_reset(m_statement);
  sqlite3_clear_bindings(m_statement);
}

long long TSqlStatement::ColumnInt64(int column) const {
  return m_statement ? sqlite3_column_int64(m_statement, column) : 0;
}

std::string TSqlStatement::ColumnText(int column) const {
  if (!m_statement) return std::string();
  const unsigned char* text = sqlite3_column_text(m_statement, column);
  if (!text) return std::string();
  return std::string(reinterpret_cast<const char*>(text),
                     static_cast<size_t>(sqlite3_column_bytes(m_statement, column)));
}
