#ifndef TESMO_CLIENT_CONTACTS_IMKEYEDLISTMODEL_H
#define TESMO_CLIENT_CONTACTS_IMKEYEDLISTMODEL_H

#include <QJsonArray>
#include <QList>
#include <QMap>
#include <QString>
#include <functional>

#include "shell/ImBaseListModel.h"

// A list of items that a server reply sent, one row per key (an account or a
// group id). The model owns its items: removing a key deletes its item.
class ImKeyedListModel : public ImBaseListModel {
  Q_OBJECT

 public:
  ~ImKeyedListModel() override;

  Q_INVOKABLE void wipeData();
  Q_INVOKABLE void removeData(const QString& key);
  Q_INVOKABLE void updateSelected(const QString& key, bool selected);
  Q_INVOKABLE int getMemberCount() const;

  QObject* item(const QString& key) const { return m_keys.value(key); }

 protected:
  using MakeItem = std::function<QObject*(const QVariantMap&)>;

  explicit ImKeyedListModel(QObject* parent = nullptr);

  // New items for the elements of `array` whose key (read from the element's
  // map under `keyName`) is not empty, not listed and not `skipKey`; each is
  // entered in the key map. Rows are the caller's to insert.
  QList<QObject*> makeItems(const QJsonArray& array, const QString& keyName, const MakeItem& make,
                            const QString& skipKey = QString());
  // Appends the items one row at a time, then signals the count once more.
  void appendItems(const QList<QObject*>& items);

 private:
  ImKeyedListModel(QObject* parent, QList<QObject*>* items);

  QList<QObject*>* m_items;
  QMap<QString, QObject*> m_keys;
};

#endif
