#ifndef TESMO_CLIENT_CONVERSATIONS_IMSESSIONROWS_H
#define TESMO_CLIENT_CONVERSATIONS_IMSESSIONROWS_H

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class ImSessionRow;

// The conversation list's rows, their items and the index by account, kept in
// step with each other here. The model changes `items()` and reports each
// change (inserted, removed, moved, reset) inside the change, so `rows()`
// follows before any view reads either.
//
// Invariant (consistent()): `rows()` and `items()` have one entry per model
// row in the same order; an item is null exactly while its row's item is not
// made; every listed row is in the index under its own account, once.
// The index owns the rows, and it may hold rows the model no longer lists: a
// row that the model dropped by itself (QML's own removal, a reset, its item
// destroyed) stays indexed, and still answers by account, until the list
// forgets the conversation or is rebuilt.
class ImSessionRows {
 public:
  ImSessionRows() = default;
  ImSessionRows(const ImSessionRows&) = delete;
  ImSessionRows& operator=(const ImSessionRows&) = delete;
  // Deletes the rows (not their items).
  ~ImSessionRows();

  // The model's item list, one entry per row.
  QList<QObject*>* items() { return &m_items; }
  const QList<QObject*>& itemList() const { return m_items; }
  const QList<ImSessionRow*>& rows() const { return m_rows; }
  ImSessionRow* row(int index) const { return m_rows.value(index); }
  int indexOf(ImSessionRow* row) const { return m_rows.indexOf(row); }

  ImSessionRow* find(const QString& account) const { return m_sessions.value(account); }
  bool contains(const QString& account) const { return m_sessions.contains(account); }
  const QHash<QString, ImSessionRow*>& byAccount() const { return m_sessions; }
  void reserve(int count) { m_sessions.reserve(count); }
  // A new row indexed under the account, owned here; null when the account
  // has one already.
  ImSessionRow* create(const QString& account);
  // Takes a row out of the index; the caller then removes it from the model
  // and owns it.
  ImSessionRow* take(const QString& account);
  // Takes every row out of the index, for the caller to delete once the model
  // no longer lists them.
  QList<ImSessionRow*> takeAll();

  // The rows the model's next insertion lists, in model order.
  void stage(const QList<ImSessionRow*>& rows) { m_pending = rows; }
  // Called by the model inside its changes, after `items()` changed.
  void inserted(int first, int count);
  void removed(int first, int count);
  void moved(int from, int to);
  void cleared();

  bool consistent() const;

 private:
  QList<QObject*> m_items;
  QList<ImSessionRow*> m_rows;
  QList<ImSessionRow*> m_pending;
  QHash<QString, ImSessionRow*> m_sessions;
};

#endif
