#ifndef TESMO_CLIENT_SHELL_VTERMINATIONSIGNALS_H
#define TESMO_CLIENT_SHELL_VTERMINATIONSIGNALS_H

#include <QObject>

class QSocketNotifier;

// SIGTERM and SIGINT end the event loop the way quitting from the tray does, so
// that the engine is released and the settings are written before the process
// ends. The handler only writes a byte to a pipe; the main thread does the rest.
class VTerminationSignals : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers for the lifetime of the returned object (one at a time).
  explicit VTerminationSignals(QObject* parent = nullptr);
  ~VTerminationSignals() override;

 signals:
  void received(int signalNumber);

 private:
  void onReadable();

  QSocketNotifier* m_notifier = nullptr;
};

#endif
