#ifndef TESMO_CLIENT_SHELL_VSOUNDPLAYTHREAD_H
#define TESMO_CLIENT_SHELL_VSOUNDPLAYTHREAD_H

#include <QObject>
#include <QString>
#include <QThread>

// Plays prompt sounds on a thread of their own, so starting one never stalls the
// interface. Emitting play queues the sound to that thread.
class VSoundPlayThread : public QObject {
  Q_OBJECT

 public:
  explicit VSoundPlayThread(QObject* parent = nullptr);
  ~VSoundPlayThread() override;

 signals:
  // A resource path of a WAV file, such as ":/sound/message.wav".
  void play(const QString& source);
  // After a sound ended or could not be played (its player is gone).
  void finished(const QString& source);

 private:
  QThread m_thread;
};

#endif
