#ifndef TESMO_DB_TSQLSTATEMENT_H
#define TESMO_DB_TSQLSTATEMENT_H

#include <string>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement with bound parameters, for the batch paths that run the
// same statement many times. It must be made, used and destroyed while the database
// lock is held, so that the connection cannot be closed under it. Texts are bound up
// to their first zero byte, exactly as a quoted literal would store them.
class TSqlStatement {
 public:
  enum StepResult { kError = 0, kRow = 1, kDone = 2 };

  TSqlStatement(sqlite3* handle, const std::string& sql);
  ~TSqlStatement();
  TSqlStatement(const TSqlStatement&) = delete;
  TSqlStatement& operator=(const TSqlStatement&) = delete;

  bool IsValid() const { return m_statement != nullptr; }
  // Parameters count from 1.
  void BindInt(int index, long long value);
  // The text is not copied: it must stay unchanged until Reset.
  void BindText(int index, const std::string& text);
  StepResult Step();
  // Ready for the next run: clears the bindings' results, keeps the compiled form.
  void Reset();
  long long ColumnInt64(int column) const;
  // "" for NULL.
  std::string ColumnText(int column) const;
  const std::string& GetError() const { return m_error; }

 private:
  sqlite3* m_handle = nullptr;
  sqlite3_stmt* m_statement = nullptr;
  std::string m_error;
};

#endif
