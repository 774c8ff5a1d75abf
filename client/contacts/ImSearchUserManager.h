#ifndef TESMO_CLIENT_CONTACTS_IMSEARCHUSERMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMSEARCHUSERMANAGER_H

#include <QJsonArray>
#include <QString>

#include "contacts/ImKeyedListModel.h"

// Users found by a search. The own account is never listed. Each kind of search has
// a list of its own, so that a late page of one never lands in another's list:
// `instance` ("atSearchUserManager") serves the @-mentions, `pickerInstance` the
// group pickers and `accountInstance` the account search of the add-friend dialog.
class ImSearchUserManager : public ImKeyedListModel {
  Q_OBJECT

 public:
  static ImSearchUserManager* instance();
  static ImSearchUserManager* pickerInstance();
  static ImSearchUserManager* accountInstance();

  Q_INVOKABLE void addData(const QJsonArray& array);
  Q_INVOKABLE QString name(const QString& account) const;

 private:
  ImSearchUserManager();
  ~ImSearchUserManager() override = default;
};

#endif
