#ifndef TESMO_CLIENT_CONTACTS_CONTACTSWORKER_H
#define TESMO_CLIENT_CONTACTS_CONTACTSWORKER_H

#include <QObject>
#include <QString>
#include <QStringList>

// Reads the phone numbers of a vCard file, off the main thread.
class ContactsWorker : public QObject {
  Q_OBJECT

 public slots:
  // The first valid "TEL" of each card, without blanks, in file order.
  void doBatchInvite(const QString& filePath);

 signals:
  void mobilesRead(QStringList mobiles);
  void readFailed();
};

#endif
