#ifndef TESMO_CLIENT_SHELL_VGLOBAL_H
#define TESMO_CLIENT_SHELL_VGLOBAL_H

#include <QObject>
#include <QString>

// The global utility object of the QML pages ("vGlobal") and the holder of the
// connection-state and sound enums.
class VGlobal : public QObject {
  Q_OBJECT

 public:
  enum VConnectionState { CONNECT = 0, DISCONNECT = 1, CONNECTING = 2 };
  Q_ENUM(VConnectionState)
  enum VSound { MESSAGE = 0, LOGINSUCCESS = 1, NETWORKCONNECTED = 2 };
  Q_ENUM(VSound)

  // Public for the QML type registration; the program uses instance().
  explicit VGlobal(QObject* parent = nullptr);
  static VGlobal* instance();

  // The preferred suffix of the file's type judged by its content, else by its name.
  Q_INVOKABLE QString format(const QString& fileName) const;
  // Last known reachability.
  Q_INVOKABLE bool isOnline() const;
  Q_INVOKABLE void playSound(VSound sound);

 signals:
  void messagesReceivedAlert();
};

#endif
