#ifndef TESMO_CLIENT_SHELL_IMBASELISTMODEL_H
#define TESMO_CLIENT_SHELL_IMBASELISTMODEL_H

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <functional>

// The list model of every manager that shows rows in QML: one column, one role
// "object" (257) that yields the row's item. Items are not owned here; an item
// that is destroyed leaves the list by itself. The row list belongs to the
// subclass, which creates it and outlives this base.
class ImBaseListModel : public QAbstractListModel {
  Q_OBJECT
  Q_PROPERTY(int itemCount READ itemCount NOTIFY itemCountChanged)

 public:
  static constexpr int kObjectRole = Qt::UserRole + 1;

  ImBaseListModel(QObject* parent, QList<QObject*>* items);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QHash<int, QByteArray> roleNames() const override;

  Q_INVOKABLE void reset();
  Q_INVOKABLE void move(int oldRow, int newRow);
  Q_INVOKABLE void removeItem(int index);
  Q_INVOKABLE QObject* get(int index) const;

  void insert(int row, QObject* item);
  void append(QObject* item);
  void prependItems(const QList<QObject*>& items);
  void removeItem(QObject* item);
  // Takes count rows from first on out of the list in one change (items stay alive).
  void removeItems(int first, int count);
  int indexOf(QObject* item) const;
  int itemCount() const;

 protected:
  // Lets a subclass list a row before its item exists (a null entry): the
  // maker gives the item the first time the row's item is asked for (data()
  // of the object role, get()), and the row keeps and watches it from then on.
  void setItemMaker(std::function<QObject*(int row)> maker);
  // Called inside each change's begin/end pair, once the item list has
  // changed, so that a subclass keeps lists of its own in step with the rows
  // before any view hears of the change. Every change goes through them, also
  // those QML asks for and the removal of a destroyed item.
  virtual void rowsInsertedHook(int first, int count);
  virtual void rowsRemovedHook(int first, int count);
  // `to` as QList::move gives it: the row's index after the move.
  virtual void rowMovedHook(int from, int to);
  virtual void rowsResetHook();

 signals:
  void itemAdded(QObject* item);
  void itemCountChanged();

 public slots:
  void removeDestroyedItem();

 private:
  // Keeps the item out of the script collector's hands and drops its row when it
  // is destroyed.
  void watch(QObject* item);
  // Stops watching the item unless another row still lists it.
  void unwatchIfGone(QObject* item);
  // The item of a row, made first when the row has none yet.
  QObject* itemAt(int row) const;

  QHash<int, QByteArray> m_roleNames;
  QList<QObject*>* m_items;
  std::function<QObject*(int row)> m_maker;
};

#endif
