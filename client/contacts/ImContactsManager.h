#ifndef TESMO_CLIENT_CONTACTS_IMCONTACTSMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMCONTACTSMANAGER_H

#include <QList>

#include "shell/ImBaseListModel.h"

// The contact list ("contactsManager").
class ImContactsManager : public ImBaseListModel {
  Q_OBJECT

 public:
  static ImContactsManager* instance();

  // The friend item of an account, null when there is none.
  Q_INVOKABLE QObject* getUserEntity(const QString& account);
  // Whether the account is a whole entry of the engine's black list.
  Q_INVOKABLE bool inBlackList(const QString& account);

 private:
  ImContactsManager();
  explicit ImContactsManager(QList<QObject*>* items);
  ~ImContactsManager() override;

  QList<QObject*>* m_items;
};

#endif
