#ifndef TESMO_CLIENT_CONTACTS_IMGROUPMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMGROUPMANAGER_H

#include <QList>

#include "shell/ImBaseListModel.h"

// The groups of the account ("groupManager").
class ImGroupManager : public ImBaseListModel {
  Q_OBJECT

 public:
  static ImGroupManager* instance();

 signals:
  void memberCountChanged();

 private:
  ImGroupManager();
  explicit ImGroupManager(QList<QObject*>* items);
  ~ImGroupManager() override;

  QList<QObject*>* m_items;
};

#endif
