#ifndef TESMO_CLIENT_CONTACTS_IMCONTACTSTHREAD_H
#define TESMO_CLIENT_CONTACTS_IMCONTACTSTHREAD_H

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>

class ContactsWorker;

// Owns the thread that reads vCard files for the batch invitation. batchInvite
// hands a file to the worker; its outcome comes back, in this object's thread,
// as mobilesRead or readFailed.
class ImContactsThread : public QObject {
  Q_OBJECT

 public:
  explicit ImContactsThread(QObject* parent = nullptr);
  // Stops the thread and waits for it; the worker goes with it.
  ~ImContactsThread() override;

 signals:
  void batchInvite(QString filePath);
  void mobilesRead(QStringList mobiles);
  void readFailed();

 private:
  QThread m_thread;
  ContactsWorker* m_worker;
};

#endif
