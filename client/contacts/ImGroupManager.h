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

  // The open group's header data.
  QString groupname() const { return m_groupname; }
  QString setGroupname(const QString& groupname);
  QString info() const { return m_info; }
  QString setInfo(const QString& info);
  QString groupIcon() const { return m_groupIcon; }
  QString setGroupIcon(const QString& groupIcon);
  int memberCount() const { return m_memberCount; }
  int setMemberCount(int memberCount);

 signals:
  void groupnameChanged();
  void infoChanged();
  void groupIconChanged();
  void memberCountChanged();

 private:
  ImGroupManager();
  explicit ImGroupManager(QList<QObject*>* items);
  ~ImGroupManager() override;

  QList<QObject*>* m_items;
  QString m_groupname;
  QString m_info;
  QString m_groupIcon;
  int m_memberCount = 0;
};

#endif
