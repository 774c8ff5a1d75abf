#ifndef TESMO_CLIENT_SHELL_VCHECKNETWORKCONNECTIONWORKER_H
#define TESMO_CLIENT_SHELL_VCHECKNETWORKCONNECTIONWORKER_H

#include <QObject>
#include <QRecursiveMutex>

// Runs the reachability probe on the check thread, one request at a time.
class VCheckNetworkConnectionWorker : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

 public slots:
  void doWork();
  void doWorkCheckHardConnection();

 signals:
  void resultReady(bool result);
  void resultCheckHardConnectionReady(bool result);

 private:
  QRecursiveMutex m_mutex;
};

#endif
