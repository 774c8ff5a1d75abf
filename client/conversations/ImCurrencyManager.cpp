#include "conversations/ImCurrencyManager.h"

#include <QDebug>
#include <QJsonObject>

#include "conversations/ImCurrencyEntity.h"
#include "shell/VExitCleanup.h"

ImCurrencyManager::ImCurrencyManager() : ImCurrencyManager(new QList<QObject*>) {}

ImCurrencyManager::ImCurrencyManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {
  qRegisterMetaType<ImCurrencyManager*>("ImCurrencyManager*");
}

ImCurrencyManager::~ImCurrencyManager() {
  wipeData();
  delete m_items;
}

ImCurrencyManager* ImCurrencyManager::instance() {
  static ImCurrencyManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImCurrencyManager; });
}

void ImCurrencyManager::addData(const QJsonArray& array) {
  qDebug() << Q_FUNC_INFO << array.size();
  if (array.isEmpty()) return;
  // Every login hands over the whole list again; appending would repeat it.
  wipeData();
  QList<ImCurrencyEntity*> made;
  made.reserve(array.size());
  for (const QJsonValue& element : array) {
    auto* item = new ImCurrencyEntity(element.toObject().toVariantMap(), nullptr);
    // A repeated id keeps its earlier item listed; the map names the later one.
    m_map.insert(item->id(), item);
    made.append(item);
  }
  for (ImCurrencyEntity* item : made) append(item);
  emit itemCountChanged();
}

void ImCurrencyManager::removeData(int id) {
  ImCurrencyEntity* item = m_map.take(id);
  if (!item) return;
  removeItem(static_cast<QObject*>(item));
  delete item;
}

void ImCurrencyManager::wipeData() {
  if (m_items->isEmpty() && m_map.isEmpty()) return;
  // The list owns what the map may no longer name (a repeated id); the map may
  // name what a view took out of the list.
  QList<QObject*> doomed = *m_items;
  for (ImCurrencyEntity* item : qAsConst(m_map))
    if (!doomed.contains(item)) doomed.append(item);
  m_map.clear();
  reset();
  qDeleteAll(doomed);
}
