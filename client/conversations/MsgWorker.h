#ifndef TESMO_CLIENT_CONVERSATIONS_MSGWORKER_H
#define TESMO_CLIENT_CONVERSATIONS_MSGWORKER_H

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// Runs on the message thread: stores one message per target through the engine
// and hands each message map back.
class MsgWorker : public QObject {
  Q_OBJECT

 signals:
  void buildMsgResult(const QVariantMap& map);

 public slots:
  void doSyncTextMsg(const QStringList& toList, const QString& content, int totype,
                     const QVariantMap& targets);
  void doTransmitMsg(const QStringList& toList, int id, int msgType, const QString& content,
                     int totype, const QVariantMap& source);
};

#endif
