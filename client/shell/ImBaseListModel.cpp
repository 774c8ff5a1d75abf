#include "shell/ImBaseListModel.h"

#include <QQmlEngine>

ImBaseListModel::ImBaseListModel(QObject* parent, QList<QObject*>* items)
    : QAbstractListModel(parent), m_items(items) {
  m_roleNames.insert(kObjectRole, QByteArrayLiteral("object"));
}

int ImBaseListModel::rowCount(const QModelIndex& parent) const {
  // A flat list: an item has no children.
  return parent.isValid() ? 0 : m_items->size();
}

int ImBaseListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 1;
}

QVariant ImBaseListModel::data(const QModelIndex& index, int role) const {
  const int row = index.row();
  if (row < 0 || row >= m_items->size()) return QVariant();
  if (role == kObjectRole) return QVariant::fromValue(itemAt(row));
  // Qt's own roles carry typed values (sizes, fonts, colours); a number there
  // would be malformed, so they get nothing.
  return role >= Qt::UserRole ? QVariant(0) : QVariant();
}

bool ImBaseListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  const int row = index.row();
  if (row < 0 || row >= m_items->size() || role != kObjectRole) return false;
  QObject* item = value.value<QObject*>();
  // Every row holds an item: views and subclasses read it without a check.
  if (!item) return false;
  QObject* old = m_items->at(row);
  if (old == item) return true;
  (*m_items)[row] = item;
  watch(item);
  unwatchIfGone(old);
  emit dataChanged(index, index, {kObjectRole});
  return true;
}

QHash<int, QByteArray> ImBaseListModel::roleNames() const { return m_roleNames; }

void ImBaseListModel::reset() {
  beginResetModel();
  const QList<QObject*> cleared = *m_items;
  m_items->clear();
  for (QObject* item : cleared) unwatchIfGone(item);
  rowsResetHook();
  endResetModel();
  emit itemCountChanged();
}

void ImBaseListModel::move(int oldRow, int newRow) {
  const int count = m_items->size();
  if (oldRow == newRow || oldRow < 0 || oldRow >= count || newRow < 0 || newRow >= count) return;
  // Views name the destination as the row before which the item lands.
  const int destination = newRow > oldRow ? newRow + 1 : newRow;
  beginMoveRows(QModelIndex(), oldRow, oldRow, QModelIndex(), destination);
  m_items->move(oldRow, newRow);
  rowMovedHook(oldRow, newRow);
  endMoveRows();
}

void ImBaseListModel::removeItem(int index) {
  if (index < 0 || index >= m_items->size()) return;
  beginRemoveRows(QModelIndex(), index, index);
  QObject* item = m_items->takeAt(index);
  unwatchIfGone(item);
  rowsRemovedHook(index, 1);
  endRemoveRows();
  emit itemCountChanged();
}

QObject* ImBaseListModel::get(int index) const {
  if (index < 0 || index >= m_items->size()) return nullptr;
  return itemAt(index);
}

void ImBaseListModel::setItemMaker(std::function<QObject*(int row)> maker) {
  m_maker = std::move(maker);
}

QObject* ImBaseListModel::itemAt(int row) const {
  QObject* item = m_items->at(row);
  if (item || !m_maker) return item;
  item = m_maker(row);
  if (!item) return nullptr;
  (*m_items)[row] = item;
  // Making the item changes no row: what the row shows is the same.
  const_cast<ImBaseListModel*>(this)->watch(item);
  return item;
}

void ImBaseListModel::insert(int row, QObject* item) {
  row = qBound(0, row, m_items->size());
  beginInsertRows(QModelIndex(), row, row);
  m_items->insert(row, item);
  watch(item);
  rowsInsertedHook(row, 1);
  endInsertRows();
  emit itemAdded(item);
  emit itemCountChanged();
}

void ImBaseListModel::append(QObject* item) { insert(m_items->size(), item); }

void ImBaseListModel::prependItems(const QList<QObject*>& items) {
  if (items.isEmpty()) return;
  beginInsertRows(QModelIndex(), 0, items.size() - 1);
  for (QObject* item : items) {
    m_items->prepend(item);
    watch(item);
  }
  rowsInsertedHook(0, items.size());
  endInsertRows();
  emit itemCountChanged();
}

void ImBaseListModel::removeItem(QObject* item) {
  // A null item would match a row whose item is not made yet.
  if (!item) return;
  const int row = indexOf(item);
  if (row >= 0) removeItem(row);
}

void ImBaseListModel::removeItems(int first, int count) {
  if (first < 0 || count <= 0 || first + count > m_items->size()) return;
  beginRemoveRows(QModelIndex(), first, first + count - 1);
  const QList<QObject*> taken = m_items->mid(first, count);
  m_items->erase(m_items->begin() + first, m_items->begin() + first + count);
  for (QObject* item : taken) unwatchIfGone(item);
  rowsRemovedHook(first, count);
  endRemoveRows();
  emit itemCountChanged();
}

void ImBaseListModel::rowsInsertedHook(int, int) {}

void ImBaseListModel::rowsRemovedHook(int, int) {}

void ImBaseListModel::rowMovedHook(int, int) {}

void ImBaseListModel::rowsResetHook() {}

int ImBaseListModel::indexOf(QObject* item) const { return m_items->indexOf(item); }

int ImBaseListModel::itemCount() const { return m_items->size(); }

void ImBaseListModel::removeDestroyedItem() {
  // The sender is half destroyed: only its address is used. Every row that
  // lists it goes, so no row is left pointing at freed memory.
  QObject* gone = sender();
  for (int row = indexOf(gone); row >= 0; row = indexOf(gone)) {
    beginRemoveRows(QModelIndex(), row, row);
    m_items->removeAt(row);
    rowsRemovedHook(row, 1);
    endRemoveRows();
    emit itemCountChanged();
  }
}

void ImBaseListModel::watch(QObject* item) {
  if (!item) return;
  // Items usually have no parent; QML would otherwise take one handed out by an
  // invokable (get) as its own and let its collector delete it under the list.
  QQmlEngine::setObjectOwnership(item, QQmlEngine::CppOwnership);
  connect(item, &QObject::destroyed, this, &ImBaseListModel::removeDestroyedItem,
          Qt::UniqueConnection);
}

void ImBaseListModel::unwatchIfGone(QObject* item) {
  if (item && !m_items->contains(item))
    disconnect(item, &QObject::destroyed, this, &ImBaseListModel::removeDestroyedItem);
}
