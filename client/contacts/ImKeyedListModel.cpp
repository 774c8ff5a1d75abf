#include "contacts/ImKeyedListModel.h"

#include <QJsonObject>

ImKeyedListModel::ImKeyedListModel(QObject* parent)
    : ImKeyedListModel(parent, new QList<QObject*>) {}

ImKeyedListModel::ImKeyedListModel(QObject* parent, QList<QObject*>* items)
    : ImBaseListModel(parent, items), m_items(items) {}

ImKeyedListModel::~ImKeyedListModel() {
  wipeData();
  delete m_items;
}

void ImKeyedListModel::wipeData() {
  for (auto it = m_keys.begin(); it != m_keys.end(); ++it) {
    removeItem(it.value());
    delete it.value();
  }
  m_keys.clear();
  m_items->clear();
}

void ImKeyedListModel::removeData(const QString& key) {
  if (key.isEmpty()) return;
  QObject* item = m_keys.take(key);
  if (!item) return;
  removeItem(item);
  delete item;
}

void ImKeyedListModel::updateSelected(const QString& key, bool selected) {
  if (QObject* item = m_keys.value(key)) item->setProperty("selected", selected);
}

int ImKeyedListModel::getMemberCount() const { return m_keys.size(); }

QList<QObject*> ImKeyedListModel::makeItems(const QJsonArray& array, const QString& keyName,
                                            const MakeItem& make, const QString& skipKey) {
  QList<QObject*> made;
  for (const QJsonValue& element : array) {
    const QVariantMap map = element.toObject().toVariantMap();
    const QString key = map.value(keyName).toString();
    // A row without a key could never be found or removed again.
    if (key.isEmpty() || m_keys.contains(key) || key == skipKey) continue;
    QObject* item = make(map);
    m_keys.insert(key, item);
    made.append(item);
  }
  return made;
}

void ImKeyedListModel::appendItems(const QList<QObject*>& items) {
  for (QObject* item : items) append(item);
  emit itemCountChanged();
}
