#ifndef TESMO_CLIENT_CONTACTS_IMGROUPMEMBERMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMGROUPMEMBERMANAGER_H

#include <QList>

#include "shell/ImBaseListModel.h"

// The members of the shown group ("groupMemberManager").
class ImGroupMemberManager : public ImBaseListModel {
  Q_OBJECT

 public:
  static ImGroupMemberManager* instance();

 private:
  ImGroupMemberManager();
  explicit ImGroupMemberManager(QList<QObject*>* items);
  ~ImGroupMemberManager() override;

  QList<QObject*>* m_items;
};

#endif
