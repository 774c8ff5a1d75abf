#include "shell/VCheckNetworkConnectionWorker.h"

#include <QDebug>
#include <QMutexLocker>

#include "shell/VGlobal.h"

void VCheckNetworkConnectionWorker::doWork() {
  QMutexLocker locker(&m_mutex);
  const bool result = VGlobal::ping(VGlobal::probeHost());
  qDebug() << "Current network connection status: " << result;
  emit resultReady(result);
}

void VCheckNetworkConnectionWorker::doWorkCheckHardConnection() {
  QMutexLocker locker(&m_mutex);
  emit resultCheckHardConnectionReady(VGlobal::ping(VGlobal::probeHost()));
}
