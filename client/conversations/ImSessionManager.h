#ifndef TESMO_CLIENT_CONVERSATIONS_IMSESSIONMANAGER_H
#define TESMO_CLIENT_CONVERSATIONS_IMSESSIONMANAGER_H

#include <QList>

#include "shell/ImBaseListModel.h"

// The open conversation and its messages ("sessionManager").
class ImSessionManager : public ImBaseListModel {
  Q_OBJECT

 public:
  static ImSessionManager* instance();

 private:
  ImSessionManager();
  explicit ImSessionManager(QList<QObject*>* items);
  ~ImSessionManager() override;

  QList<QObject*>* m_items;
};

#endif
