#ifndef TESMO_CLIENT_CONTACTS_IMCONTACTSMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMCONTACTSMANAGER_H

#include <QList>

#include "shell/ImBaseListModel.h"

// The contact list ("contactsManager").
class ImContactsManager : public ImBaseListModel {
  Q_OBJECT

 public:
  static ImContactsManager* instance();

 private:
  ImContactsManager();
  explicit ImContactsManager(QList<QObject*>* items);
  ~ImContactsManager() override;

  QList<QObject*>* m_items;
};

#endif
