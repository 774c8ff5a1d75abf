#ifndef TESMO_DB_TRECORDSET_H
#define TESMO_DB_TRECORDSET_H

#include <cstddef>
#include <string>
#include <vector>

// The complete result of one query, every value as text (NULL becomes "").
// Reading a finished record set needs no lock; one thread at a time uses it.
// The values of all rows share one text buffer: a large result costs a few
// allocations instead of one per field.
class TRecordSet {
 public:
  TRecordSet() = default;
  TRecordSet(const TRecordSet&) = delete;
  TRecordSet& operator=(const TRecordSet&) = delete;

  int GetFieldCount() const { return m_fieldCount; }
  int GetRecordCount() const { return static_cast<int>(m_rowStart.size()); }
  // "" outside the bounds.
  std::string GetString(int row, int column) const;
  // The field as a zero-terminated text valid until the set changes; "" outside
  // the bounds. `length` (when given) receives its length.
  const char* GetText(int row, int column, size_t* length = nullptr) const;
  // The leading number of GetString (0 outside the bounds or for a non-number).
  int GetInt(int row, int column) const;
  long long GetInt64(int row, int column) const;
  const std::string& GetColumnName(int column) const;
  void Clear();

  // Row collector for sqlite3_exec; always asks SQLite to go on unless out of memory.
  static int CollectRow(void* context, int columns, char** values, char** names);

 private:
  struct Field {
    size_t offset;
    size_t length;
  };

  std::vector<std::string> m_names;
  int m_fieldCount = 0;
  // Every value followed by a zero byte, rows one after another.
  std::string m_text;
  std::vector<Field> m_fields;
  // Index into m_fields of each row's first field; a row's fields end where the
  // next row's begin (statements of one text may differ in their columns).
  std::vector<size_t> m_rowStart;
};

#endif
