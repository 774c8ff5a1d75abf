#ifndef TESMO_CLIENT_CONTACTS_IMGROUPCHILDMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMGROUPCHILDMANAGER_H

#include <QList>

#include "shell/ImBaseListModel.h"

// The child groups of the shown group ("groupChildManager").
class ImGroupChildManager : public ImBaseListModel {
  Q_OBJECT

 public:
  static ImGroupChildManager* instance();

 private:
  ImGroupChildManager();
  explicit ImGroupChildManager(QList<QObject*>* items);
  ~ImGroupChildManager() override;

  QList<QObject*>* m_items;
};

#endif
