#include "conversations/ImSessionRows.h"

#include <QSet>

#include "conversations/ImSessionListManagerPrivate.h"

ImSessionRows::~ImSessionRows() { qDeleteAll(m_sessions); }

ImSessionRow* ImSessionRows::create(const QString& account) {
  // One look-up: a rebuild calls this once per result row.
  ImSessionRow*& slot = m_sessions[account];
  if (slot) return nullptr;
  slot = new ImSessionRow;
  slot->account = account;
  return slot;
}

ImSessionRow* ImSessionRows::take(const QString& account) { return m_sessions.take(account); }

QList<ImSessionRow*> ImSessionRows::takeAll() {
  const QList<ImSessionRow*> rows = m_sessions.values();
  m_sessions.clear();
  return rows;
}

void ImSessionRows::inserted(int first, int count) {
  for (int i = 0; i < count; ++i) m_rows.insert(first + i, m_pending.value(i));
  m_pending.clear();
}

void ImSessionRows::removed(int first, int count) {
  m_rows.erase(m_rows.begin() + first, m_rows.begin() + first + count);
}

void ImSessionRows::moved(int from, int to) { m_rows.move(from, to); }

void ImSessionRows::cleared() { m_rows.clear(); }

bool ImSessionRows::consistent() const {
  if (m_rows.size() != m_items.size() || !m_pending.isEmpty()) return false;
  QSet<const ImSessionRow*> seen;
  for (int index = 0; index < m_rows.size(); ++index) {
    const ImSessionRow* row = m_rows.at(index);
    if (!row || seen.contains(row) || m_sessions.value(row->account) != row) return false;
    seen.insert(row);
    if ((m_items.at(index) == nullptr) != row->entity.isNull()) return false;
  }
  return true;
}
