#ifndef TESMO_DB_TRECORDSET_H
#define TESMO_DB_TRECORDSET_H

#include <string>
#include <vector>

// The complete result of one query, every value as text (NULL becomes "").
// Reading a finished record set needs no lock; one thread at a time uses it.
class TRecordSet {
 public:
  TRecordSet() = default;
  TRecordSet(const TRecordSet&) = delete;
  TRecordSet& operator=(const TRecordSet&) = delete;

  int GetFieldCount() const { return m_fieldCount; }
  int GetRecordCount() const { return static_cast<int>(m_rows.size()); }
  // "" outside the bounds.
  std::string GetString(int row, int column) const;
  // The leading number of GetString (0 outside the bounds or for a non-number).
  int GetInt(int row, int column) const;
  long long GetInt64(int row, int column) const;
  const std::string& GetColumnName(int column) const;
  void Clear();

  // Row collector for sqlite3_exec; always asks SQLite to go on unless out of memory.
  static int CollectRow(void* context, int columns, char** values, char** names);

 private:
  std::vector<std::string> m_names;
  int m_fieldCount = 0;
  std::vector<std::vector<std::string>> m_rows;
};

#endif
