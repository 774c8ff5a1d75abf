#ifndef TESMO_CLIENT_CONTACTS_IMGROUPMEMBERMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMGROUPMEMBERMANAGER_H

#include <QJsonArray>
#include <QString>

#include "contacts/ImKeyedListModel.h"

// The loaded members of the shown group ("groupMemberManager"), page after page.
class ImGroupMemberManager : public ImKeyedListModel {
  Q_OBJECT

 public:
  static ImGroupMemberManager* instance();

  Q_INVOKABLE void addData(const QJsonArray& array);

 private:
  ImGroupMemberManager();
  ~ImGroupMemberManager() override = default;
};

#endif
