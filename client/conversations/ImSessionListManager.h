#ifndef TESMO_CLIENT_CONVERSATIONS_IMSESSIONLISTMANAGER_H
#define TESMO_CLIENT_CONVERSATIONS_IMSESSIONLISTMANAGER_H

#include <QList>

#include "shell/ImBaseListModel.h"

// The conversation list ("sessionListManager").
class ImSessionListManager : public ImBaseListModel {
  Q_OBJECT

 public:
  static ImSessionListManager* instance();

 signals:
  void dataComplete();

 private:
  ImSessionListManager();
  explicit ImSessionListManager(QList<QObject*>* items);
  ~ImSessionListManager() override;

  QList<QObject*>* m_items;
};

#endif
