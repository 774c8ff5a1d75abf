#ifndef TESMO_CLIENT_SHELL_IMNOTIFYMANAGER_H
#define TESMO_CLIENT_SHELL_IMNOTIFYMANAGER_H

#include <QObject>

#include "shell/UIMessage.h"

// Carries engine reports to the managers. doNotify is called on engine threads;
// notify is emitted on the thread this object lives in (the main thread), one
// record at a time in the order the engine raised them. Receivers live in the
// main thread (directly or queued); the record is freed after the last of them.
class ImNotifyManager : public QObject {
  Q_OBJECT

 public:
  explicit ImNotifyManager(QObject* parent = nullptr);

  // Takes ownership of pMsg.
  void doNotify(const UIMessage* pMsg);
  // Frees the records still waiting for delivery (used once the engine is stopped).
  void dropPending();

 signals:
  void notify(const UIMessage* pMsg);
};

#endif
