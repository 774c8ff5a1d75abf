#include "contacts/ImContactsThread.h"

#include "contacts/ContactsWorker.h"

ImContactsThread::ImContactsThread(QObject* parent)
    : QObject(parent), m_worker(new ContactsWorker) {
  m_worker->moveToThread(&m_thread);
  connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
  connect(this, &ImContactsThread::batchInvite, m_worker, &ContactsWorker::doBatchInvite);
  // Queued back into this object's thread.
  connect(m_worker, &ContactsWorker::mobilesRead, this, &ImContactsThread::mobilesRead);
  connect(m_worker, &ContactsWorker::readFailed, this, &ImContactsThread::readFailed);
  m_thread.start(QThread::InheritPriority);
}

ImContactsThread::~ImContactsThread() {
  m_thread.quit();
  m_thread.wait();
}
