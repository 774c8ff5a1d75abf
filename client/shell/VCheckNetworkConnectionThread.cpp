#include "shell/VCheckNetworkConnectionThread.h"

#include "shell/VCheckNetworkConnectionWorker.h"

VCheckNetworkConnectionThread::VCheckNetworkConnectionThread(QObject* parent) : QObject(parent) {
  auto* worker = new VCheckNetworkConnectionWorker;
  worker->moveToThread(&m_thread);
  connect(&m_thread, &QThread::finished, worker, &QObject::deleteLater);
  connect(this, &VCheckNetworkConnectionThread::checkNetworkConnection, worker,
          &VCheckNetworkConnectionWorker::doWork);
  connect(worker, &VCheckNetworkConnectionWorker::resultReady, this,
          &VCheckNetworkConnectionThread::networkConnectionStateChanged);
  connect(this, &VCheckNetworkConnectionThread::checkHardConnection, worker,
          &VCheckNetworkConnectionWorker::doWorkCheckHardConnection);
  connect(worker, &VCheckNetworkConnectionWorker::resultCheckHardConnectionReady, this,
          &VCheckNetworkConnectionThread::hardConnectionStateChanged);
  m_thread.start();
}

VCheckNetworkConnectionThread::~VCheckNetworkConnectionThread() {
  m_thread.quit();
  m_thread.wait();
}
