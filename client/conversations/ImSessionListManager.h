#ifndef TESMO_CLIENT_CONVERSATIONS_IMSESSIONLISTMANAGER_H
#define TESMO_CLIENT_CONVERSATIONS_IMSESSIONLISTMANAGER_H

#include <QList>
#include <QString>
#include <QVariantMap>

#include "shell/ImBaseListModel.h"

class ImMsgEntity;

// The conversation list ("sessionListManager").
class ImSessionListManager : public ImBaseListModel {
  Q_OBJECT

 public:
  static ImSessionListManager* instance();

  // The conversation of the message's peer takes the message as its latest one; a
  // conversation not listed yet is added at the top.
  void updateData(const QVariantMap& map, bool isFromContact);
  ImMsgEntity* getSession(const QString& account) const;
  void resetUnReadMsgCount(const QString& account);
  void resetAtflag(const QString& account);
  void doUpdateUnReadMsgCount();

 signals:
  void dataComplete();

 private:
  ImSessionListManager();
  explicit ImSessionListManager(QList<QObject*>* items);
  ~ImSessionListManager() override;

  QList<QObject*>* m_items;
};

#endif
