#include "db/TRecordSet.h"

#include <cstring>
#include <limits>

#include "db/SqlText.h"

namespace {
const std::string kEmpty;
}  // namespace

const char* TRecordSet::GetText(int row, int column, size_t* length) const {
  if (length) *length = 0;
  if (row < 0 || row >= GetRecordCount() || column < 0 || column >= m_fieldCount) return "";
  const size_t first = m_rowStart[static_cast<size_t>(row)];
  const size_t end = static_cast<size_t>(row) + 1 < m_rowStart.size()
                         ? m_rowStart[static_cast<size_t>(row) + 1]
                         : m_fields.size();
  if (first + static_cast<size_t>(column) >= end) return "";
  const Field& field = m_fields[first + static_cast<size_t>(column)];
  if (length) *length = field.length;
  return m_text.data() + field.offset;
}

std::string TRecordSet::GetString(int row, int column) const {
  size_t length = 0;
  const char* text = GetText(row, column, &length);
  return std::string(text, length);
}

int TRecordSet::GetInt(int row, int column) const {
  // atoi semantics without its overflow: out-of-range numbers are clamped.
  long long v = GetInt64(row, column);
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

long long TRecordSet::GetInt64(int row, int column) const {
  return SqlLeadingNumber(GetText(row, column));
}

const std::string& TRecordSet::GetColumnName(int column) const {
  if (column < 0 || static_cast<size_t>(column) >= m_names.size()) return kEmpty;
  return m_names[static_cast<size_t>(column)];
}

void TRecordSet::Clear() {
  m_names.clear();
  m_text.clear();
  m_fields.clear();
  m_rowStart.clear();
  m_fieldCount = 0;
}

int TRecordSet::CollectRow(void* context, int columns, char** values, char** names) {
  auto* set = static_cast<TRecordSet*>(context);
  if (columns < 1 || !set) return 0;
  // Called from inside SQLite: nothing may be thrown across it.
  try {
    set->m_fieldCount = columns;
    if (set->m_names.empty()) {
      for (int i = 0; i < columns; ++i)
        set->m_names.emplace_back(names && names[i] ? names[i] : "");
    }
    set->m_rowStart.push_back(set->m_fields.size());
    for (int i = 0; i < columns; ++i) {
      const char* value = values && values[i] ? values[i] : "";
      const size_t length = strlen(value);
      set->m_fields.push_back({set->m_text.size(), length});
      set->m_text.append(value, length + 1);
    }
  } catch (...) {
    return 1;  // aborts the statement; the caller sees a failure
  }
  return 0;
}
