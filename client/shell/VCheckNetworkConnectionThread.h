#ifndef TESMO_CLIENT_SHELL_VCHECKNETWORKCONNECTIONTHREAD_H
#define TESMO_CLIENT_SHELL_VCHECKNETWORKCONNECTIONTHREAD_H

#include <QObject>
#include <QThread>

// Owns the thread that probes the network off the main thread: requests go in as
// signals, results come back as signals on the owner's thread.
class VCheckNetworkConnectionThread : public QObject {
  Q_OBJECT

 public:
  explicit VCheckNetworkConnectionThread(QObject* parent = nullptr);
  // Waits for a probe that is running, then ends the thread.
  ~VCheckNetworkConnectionThread() override;

 signals:
  void checkNetworkConnection();
  void networkConnectionStateChanged(bool isOnline);
  void checkHardConnection();
  void hardConnectionStateChanged(bool isConnect);

 private:
  QThread m_thread;
};

#endif
