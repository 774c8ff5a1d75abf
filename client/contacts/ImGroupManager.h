#ifndef TESMO_CLIENT_CONTACTS_IMGROUPMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMGROUPMANAGER_H

#include <QList>

#include "shell/ImBaseListModel.h"

// The groups of the account ("groupManager").
class ImGroupManager : public ImBaseListModel {
  Q_OBJECT

 public:
  static ImGroupManager* instance();

  // The group item of a group id, null when it is not loaded.
  Q_INVOKABLE QObject* getGroupEntity(const QString& groupid);
  // Whether notifications of the group are muted.
  Q_INVOKABLE bool isGroupMute(const QString& groupid);

 signals:
  void memberCountChanged();

 private:
  ImGroupManager();
  explicit ImGroupManager(QList<QObject*>* items);
  ~ImGroupManager() override;

  QList<QObject*>* m_items;
};

#endif
