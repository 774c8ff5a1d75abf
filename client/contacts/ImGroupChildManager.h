#ifndef TESMO_CLIENT_CONTACTS_IMGROUPCHILDMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMGROUPCHILDMANAGER_H

#include <QJsonArray>
#include <QString>

#include "contacts/ImKeyedListModel.h"

// The child groups of the shown group ("groupChildManager"), keyed by group id.
class ImGroupChildManager : public ImKeyedListModel {
  Q_OBJECT

 public:
  static ImGroupChildManager* instance();

  Q_INVOKABLE void addData(const QJsonArray& array);

 private:
  ImGroupChildManager();
  ~ImGroupChildManager() override = default;
};

#endif
