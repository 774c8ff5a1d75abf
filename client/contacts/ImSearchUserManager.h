#ifndef TESMO_CLIENT_CONTACTS_IMSEARCHUSERMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMSEARCHUSERMANAGER_H

#include <QJsonArray>
#include <QString>

#include "contacts/ImKeyedListModel.h"

// Users found by a search ("atSearchUserManager"): @-mentions, member pickers and
// the account search. The own account is never listed.
class ImSearchUserManager : public ImKeyedListModel {
  Q_OBJECT

 public:
  static ImSearchUserManager* instance();

  Q_INVOKABLE void addData(const QJsonArray& array);
  Q_INVOKABLE QString name(const QString& account) const;

 private:
  ImSearchUserManager();
  ~ImSearchUserManager() override = default;
};

#endif
