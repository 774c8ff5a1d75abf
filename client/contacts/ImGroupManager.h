#ifndef TESMO_CLIENT_CONTACTS_IMGROUPMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMGROUPMANAGER_H

#include <QList>
#include <QString>

#include "shell/ImBaseListModel.h"

class ImGroupEntity;

// The groups of the account ("groupManager").
class ImGroupManager : public ImBaseListModel {
  Q_OBJECT

 public:
  static ImGroupManager* instance();

  // The listed group with this id, or null.
  Q_INVOKABLE ImGroupEntity* getGroupEntity(const QString& groupid);
  // A muted group is on the engine's black list.
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
