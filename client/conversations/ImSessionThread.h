#ifndef TESMO_CLIENT_CONVERSATIONS_IMSESSIONTHREAD_H
#define TESMO_CLIENT_CONVERSATIONS_IMSESSIONTHREAD_H

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>
#include <atomic>

// Owns the counters thread of the conversation list: requests go to its
// SessionWorker and answers come back as queued signals, one account's answers
// in request order. Destroying it drops the requests still queued.
class ImSessionThread : public QObject {
  Q_OBJECT

 public:
  explicit ImSessionThread(QObject* parent = nullptr);
  ~ImSessionThread() override;

 signals:
  void updateMsgCount(const QString& account, int type);
  void updateAtFlag(const QString& account);
  // Both requests for many conversations at once: for each account in order its
  // count, then for a group (type 1) its @-flag.
  void updateCounters(const QStringList& accounts, const QList<int>& types);
  void msgCountChange(const QString& account, int count);
  void msgAtFlagChange(const QString& account, int nFlag);

 private:
  std::atomic<bool> m_stopping{false};
  QThread m_thread;
};

#endif
