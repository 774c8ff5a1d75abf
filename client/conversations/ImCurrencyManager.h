#ifndef TESMO_CLIENT_CONVERSATIONS_IMCURRENCYMANAGER_H
#define TESMO_CLIENT_CONVERSATIONS_IMCURRENCYMANAGER_H

#include <QJsonArray>
#include <QList>
#include <QMap>

#include "shell/ImBaseListModel.h"

class ImCurrencyEntity;

// The coin list ("currencyManager"), filled from the server's coin list after
// signing in. Owns every item it makes.
class ImCurrencyManager : public ImBaseListModel {
  Q_OBJECT

 public:
  static ImCurrencyManager* instance();

  // Public for tests; the program uses instance().
  ImCurrencyManager();
  ~ImCurrencyManager() override;

  // Replaces the list with the coins of the array, in array order. An empty
  // array changes nothing.
  Q_INVOKABLE void addData(const QJsonArray& array);
  Q_INVOKABLE void removeData(int id);
  Q_INVOKABLE void wipeData();

  ImCurrencyEntity* entity(int id) const { return m_map.value(id); }

 private:
  explicit ImCurrencyManager(QList<QObject*>* items);

  QList<QObject*>* m_items;
  QMap<int, ImCurrencyEntity*> m_map;
};

#endif
