#ifndef TESMO_CLIENT_CONTACTS_IMGROUPADMINMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMGROUPADMINMANAGER_H

#include <QJsonArray>
#include <QString>

#include "contacts/ImKeyedListModel.h"

// The owner and managers of the shown group ("groupAdminManager"), owner first.
class ImGroupAdminManager : public ImKeyedListModel {
  Q_OBJECT

 public:
  static ImGroupAdminManager* instance();

  // Puts the users of the array ahead of the listed ones, in array order.
  Q_INVOKABLE void initData(const QJsonArray& array);
  Q_INVOKABLE bool isOwner(const QString& account) const;
  Q_INVOKABLE bool isAdmin(const QString& account) const;

 private:
  ImGroupAdminManager();
  ~ImGroupAdminManager() override = default;
};

#endif
