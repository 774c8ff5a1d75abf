#ifndef TESMO_CLIENT_CONVERSATIONS_IMCURRENCYMANAGER_H
#define TESMO_CLIENT_CONVERSATIONS_IMCURRENCYMANAGER_H

#include <QList>

#include "shell/ImBaseListModel.h"

// The coin list ("currencyManager").
class ImCurrencyManager : public ImBaseListModel {
  Q_OBJECT

 public:
  static ImCurrencyManager* instance();

 private:
  ImCurrencyManager();
  explicit ImCurrencyManager(QList<QObject*>* items);
  ~ImCurrencyManager() override;

  QList<QObject*>* m_items;
};

#endif
