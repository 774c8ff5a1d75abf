#include "conversations/ImSessionThread.h"

#include "conversations/SessionWorker.h"

ImSessionThread::ImSessionThread(QObject* parent) : QObject(parent) {
  // The batch request crosses to the worker's thread.
  qRegisterMetaType<QList<int>>("QList<int>");
  auto* worker = new SessionWorker(&m_stopping);
  connect(worker, &SessionWorker::msgCountChange, this, &ImSessionThread::msgCountChange);
  connect(worker, &SessionWorker::msgAtFlagChange, this, &ImSessionThread::msgAtFlagChange);
  worker->moveToThread(&m_thread);
  connect(&m_thread, &QThread::finished, worker, &QObject::deleteLater);
  connect(this, &ImSessionThread::updateMsgCount, worker, &SessionWorker::doUpdateMsgCount);
  connect(this, &ImSessionThread::updateAtFlag, worker, &SessionWorker::doUpdateAtFlag);
  connect(this, &ImSessionThread::updateCounters, worker, &SessionWorker::doUpdateCounters);
  m_thread.setObjectName(QStringLiteral("SessionWorker"));
  m_thread.start(QThread::InheritPriority);
}

ImSessionThread::~ImSessionThread() {
  // The event loop may be in the middle of a long run of queued requests; each
  // of the rest returns at once once the flag is seen.
  m_stopping.store(true);
  m_thread.quit();
  m_thread.wait();
}
