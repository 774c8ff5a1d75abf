#ifndef TESMO_CLIENT_CONVERSATIONS_SESSIONWORKER_H
#define TESMO_CLIENT_CONVERSATIONS_SESSIONWORKER_H

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>

// Counts a conversation's unread messages and finds its @-flag in the local
// database, in the counters thread. Holds no state of the conversation list.
class SessionWorker : public QObject {
  Q_OBJECT

 public:
  // `stopping` belongs to the owner and outlives the worker's thread; once it
  // is set, requests still queued are dropped unanswered.
  explicit SessionWorker(const std::atomic<bool>* stopping);

  // The statement that counts the unread messages of a conversation of this
  // type (0 one-to-one, 1 group); empty for any other type. Its rows: one with
  // -1 and the count of plain unread rows, then (msgtype, id, content, fromuser,
  // touser, revokeflag) of each unread notice or recalled row.
  static QString unreadCountSql(const QString& account, int type);
  // Whether such an unread notice or recalled row is one the chat shows, so that
  // the conversation's count holds what the chat shows and nothing else.
  static bool countsAsUnread(int msgtype, int id, const QString& content, const QString& fromuser,
                             const QString& touser, int totype, int revokeflag);

 signals:
  void msgCountChange(const QString& account, int count);
  void msgAtFlagChange(const QString& account, int nFlag);

 public slots:
  void doUpdateMsgCount(const QString& account, int type);
  void doUpdateAtFlag(const QString& account);
  // doUpdateMsgCount for each account in order, each group's (type 1)
  // doUpdateAtFlag right after its count; the rest is dropped once stopping.
  void doUpdateCounters(const QStringList& accounts, const QList<int>& types);

 private:
  const std::atomic<bool>* m_stopping;
};

#endif
