#include "db/TRecordSet.h"

#include <cstdlib>
#include <limits>

#include "db/SqlText.h"

namespace {
const std::string kEmpty;
}  // namespace

std::string TRecordSet::GetString(int row, int column) const {
  if (row < 0 || row >= GetRecordCount() || column < 0 || column >= m_fieldCount) return kEmpty;
  const std::vector<std::string>& r = m_rows[static_cast<size_t>(row)];
  return static_cast<size_t>(column) < r.size() ? r[static_cast<size_t>(column)] : kEmpty;
}

int TRecordSet::GetInt(int row, int column) const {
  // atoi semantics without its overflow: out-of-range numbers are clamped.
  long long v = GetInt64(row, column);
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

long long TRecordSet::GetInt64(int row, int column) const {
  return SqlLeadingNumber(GetString(row, column));
}

const std::string& TRecordSet::GetColumnName(int column) const {
  if (column < 0 || static_cast<size_t>(column) >= m_names.size()) return kEmpty;
  return m_names[static_cast<size_t>(column)];
}

void TRecordSet::Clear() {
  m_names.clear();
  m_rows.clear();
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
    std::vector<std::string> row;
    row.reserve(static_cast<size_t>(columns));
    for (int i = 0; i < columns; ++i) row.emplace_back(values && values[i] ? values[i] : "");
    set->m_rows.push_back(std::move(row));
  } catch (...) {
    return 1;  // aborts the statement; the caller sees a failure
  }
  return 0;
}
