#ifndef TESMO_CLIENT_CONVERSATIONS_IMSESSIONMANAGER_H
#define TESMO_CLIENT_CONVERSATIONS_IMSESSIONMANAGER_H

#include <QList>

#include "shell/ImBaseListModel.h"

// The open conversation and its messages ("sessionManager").
class ImSessionManager : public ImBaseListModel {
  Q_OBJECT
  Q_PROPERTY(
      int unReadMsgCount READ unReadMsgCount WRITE setUnReadMsgCount NOTIFY unReadMsgCountChanged)

 public:
  static ImSessionManager* instance();

  // The chat tab's badge: unread messages of every conversation but muted ones.
  int unReadMsgCount() const { return m_unReadMsgCount; }
  int setUnReadMsgCount(int count);
  // Marks every message of a conversation read.
  Q_INVOKABLE void setAllMessageRead(const QString& account, int type);
  // Asks the conversation list to recount the badge.
  Q_INVOKABLE void updateUnReadMsgCount();
  // The line a group notice shows.
  Q_INVOKABLE QString getGroupNotifyContent(const QString& content);

 signals:
  void unReadMsgCountChanged();

 private:
  ImSessionManager();
  explicit ImSessionManager(QList<QObject*>* items);
  ~ImSessionManager() override;

  QList<QObject*>* m_items;
  int m_unReadMsgCount = 0;
};

#endif
