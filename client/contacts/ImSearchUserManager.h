#ifndef TESMO_CLIENT_CONTACTS_IMSEARCHUSERMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMSEARCHUSERMANAGER_H

#include <QList>

#include "shell/ImBaseListModel.h"

// The members offered for an @-mention ("atSearchUserManager").
class ImSearchUserManager : public ImBaseListModel {
  Q_OBJECT

 public:
  static ImSearchUserManager* instance();

 private:
  ImSearchUserManager();
  explicit ImSearchUserManager(QList<QObject*>* items);
  ~ImSearchUserManager() override;

  QList<QObject*>* m_items;
};

#endif
