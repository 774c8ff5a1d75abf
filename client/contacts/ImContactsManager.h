#ifndef TESMO_CLIENT_CONTACTS_IMCONTACTSMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMCONTACTSMANAGER_H

#include <QList>
#include <QString>

#include "shell/ImBaseListModel.h"

class ImUserEntity;

// The contact list ("contactsManager").
class ImContactsManager : public ImBaseListModel {
  Q_OBJECT

 public:
  static ImContactsManager* instance();

  // The listed contact with this account, or null.
  Q_INVOKABLE ImUserEntity* getUserEntity(const QString& account);

 private:
  ImContactsManager();
  explicit ImContactsManager(QList<QObject*>* items);
  ~ImContactsManager() override;

  QList<QObject*>* m_items;
};

#endif
