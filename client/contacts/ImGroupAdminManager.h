#ifndef TESMO_CLIENT_CONTACTS_IMGROUPADMINMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMGROUPADMINMANAGER_H

#include <QList>

#include "shell/ImBaseListModel.h"

// The administrators of the shown group ("groupAdminManager").
class ImGroupAdminManager : public ImBaseListModel {
  Q_OBJECT

 public:
  static ImGroupAdminManager* instance();

 private:
  ImGroupAdminManager();
  explicit ImGroupAdminManager(QList<QObject*>* items);
  ~ImGroupAdminManager() override;

  QList<QObject*>* m_items;
};

#endif
