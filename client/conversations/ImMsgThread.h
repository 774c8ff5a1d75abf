#ifndef TESMO_CLIENT_CONVERSATIONS_IMMSGTHREAD_H
#define TESMO_CLIENT_CONVERSATIONS_IMMSGTHREAD_H

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QVariantMap>

// Owner of the message worker's thread: sends one text to many conversations and
// forwards one message to many, off the main thread. What the worker needs of the
// main thread's items comes with the signal as a copy.
class ImMsgThread : public QObject {
  Q_OBJECT

 public:
  explicit ImMsgThread(QObject* parent = nullptr);
  ~ImMsgThread() override;

 signals:
  // targets: account -> the remark's "to" object of that target.
  void syncTextMsg(const QStringList& toList, const QString& content, int totype,
                   const QVariantMap& targets);
  // source: the forwarded item's map, empty when the item is not shown.
  void transmitMsg(const QStringList& toList, int id, int msgType, const QString& content,
                   int totype, const QVariantMap& source);

 public slots:
  void onBuildMsgResult(const QVariantMap& map);

 private:
  QThread m_thread;
};

#endif
